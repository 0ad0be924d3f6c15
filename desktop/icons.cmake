# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Draws one icon per size with `kwtool icon` (called by the build with KWTOOL, SHEET,
# SIZES and OUT); any failure stops the build.
foreach(size ${SIZES})
  execute_process(COMMAND ${KWTOOL} icon ${SHEET} ${size} ${OUT}/${size}.png
                  RESULT_VARIABLE result TIMEOUT 60)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "kwtool icon ${size} failed: ${result}")
  endif()
endforeach()
