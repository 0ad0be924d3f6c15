# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Draws the software centres' screenshots, one per game mode, from recorded playthroughs:
# the game runs headless through the real menus into play and keeps the picture of the
# frame named here. Called by the build with GAME, DATA, REPLAYS (the playthroughs folder)
# and OUT; any failure stops the build. In a sanitizer build the game is the instrumented
# one, run as the tests run it (leak reports off).
# Each shot: picture name, replay, frame (mid-map, with the figure, enemies and pickups).
set(shots free:free1:230 story:story1:170 time:time1:250)
set(user ${OUT}/user)
foreach(shot ${shots})
  string(REPLACE ":" ";" shot ${shot})
  list(GET shot 0 name)
  list(GET shot 1 replay)
  list(GET shot 2 frame)
  file(REMOVE_RECURSE ${user})
  file(MAKE_DIRECTORY ${user})
  file(REMOVE ${OUT}/${name}.png)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
            ASAN_OPTIONS=detect_leaks=0
            ${GAME} --headless --lang de --seed 1 --data ${DATA} --user ${user} --frames ${frame}
            --replay ${REPLAYS}/${replay}.replay --screenshot ${OUT}/${name}.png
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors TIMEOUT 300)
  if(NOT result EQUAL 0 OR NOT EXISTS ${OUT}/${name}.png)
    message(FATAL_ERROR "the ${name} screenshot failed (${result}): ${errors}")
  endif()
endforeach()
file(REMOVE_RECURSE ${user})
