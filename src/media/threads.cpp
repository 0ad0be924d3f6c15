// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Threads: the start-up loader runs on one. Headless runs start none: the procedure runs
// to its end inside StartThread, so they stay deterministic.
#include "media/core.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace kw {

namespace {

// Threads: a handle is an index into this table (0 = none).
struct ThreadSlot {
  std::thread thread;
  std::atomic<bool> running{false};
};
std::mutex ThreadLock;
std::vector<std::unique_ptr<ThreadSlot>> Threads(1);

}  // namespace

ThreadHandle StartThread(void (*procedure)(int), int argument) {
  ThreadHandle handle;
  ThreadSlot* slot;
  {
    std::lock_guard<std::mutex> lock(ThreadLock);
    Threads.push_back(std::make_unique<ThreadSlot>());
    handle = ThreadHandle(Threads.size() - 1);
    slot = Threads.back().get();
  }
  if (IsHeadless()) {
    // Headless runs are deterministic: the thread runs to its end right here.
    procedure(argument);
    return handle;
  }
  slot->running = true;
  try {
    slot->thread = std::thread([slot, procedure, argument] {
      procedure(argument);
      slot->running = false;
    });
  } catch (const std::system_error&) {
    // No thread for us (no memory for its stack, too many threads): the caller hears 0.
    slot->running = false;
    return 0;
  }
  return handle;
}

static ThreadSlot* SlotOf(ThreadHandle t) {
  std::lock_guard<std::mutex> lock(ThreadLock);
  return t > 0 && size_t(t) < Threads.size() ? Threads[t].get() : nullptr;
}

int ThreadRunning(ThreadHandle t) {
  ThreadSlot* s = SlotOf(t);
  return s && s->running ? 1 : 0;
}

int JoinThread(ThreadHandle t) {
  ThreadSlot* s = SlotOf(t);
  if (s && s->thread.joinable()) s->thread.join();
  return 1;
}

void StopThread(ThreadHandle t) {
  // A thread cannot be killed safely; it is left to end with the process.
  ThreadSlot* s = SlotOf(t);
  if (s && s->thread.joinable()) s->thread.detach();
}

namespace {
// The thread that owns the window: the program's first thread.
const std::thread::id MainThreadId = std::this_thread::get_id();
}  // namespace

bool OnMainThread() { return std::this_thread::get_id() == MainThreadId; }

void ParkThread() {
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

}  // namespace kw
