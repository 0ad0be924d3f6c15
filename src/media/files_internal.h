// Inside the media layer: a fault that makes the file service's writes fail the way a
// full disk or a refused rename would, so tests can check what a failed write leaves
// behind. Not for game code.
#pragma once

namespace kw {

// The step of a write that fails: creating the temporary file, writing its bytes (half
// of them reach the disk, then the disk is full), or the rename into place.
enum class WriteFault { None, Create, Write, Rename };

// From now on, every write step of that kind fails after `after` more of them have
// succeeded; WriteFault::None ends the fault.
void SetWriteFault(WriteFault fault, int after = 0);

}  // namespace kw
