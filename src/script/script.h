// Script and cutscenes: the per-map script parser, the interpreter and the picture
// cutscenes. Called by the map loader (ParseScript), the map start (RunScript(1)),
// the message ticker (RunScript(0)) and the frame loop (CutsceneStep).
#pragma once

#include <string>

namespace kw {

// Reads the tag grid into the cells' tagNo and appends the statements to StartScript
// and MainScript.
int ParseScript(const std::string& scriptPath, const std::string& tagGridPath);
// which = 1 runs StartScript, 0 runs MainScript.
int RunScript(int which);
// One frame of the playing cutscene.
int CutsceneStep();
// Loads the cutscene of that name from cutscenes.ini and cutscenes.pak.
int LoadCutscene(const std::string& name);
// Starts the loaded cutscene of that name.
int PlayCutscene(const std::string& name);

}  // namespace kw
