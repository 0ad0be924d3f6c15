// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Every media service in one include, for the game code.
#pragma once

#include "media/core.h"
#include "media/files.h"
#include "media/input.h"
#include "media/list.h"
#include "media/pack.h"
#include "media/sound.h"
#include "media/sprites.h"
#include "media/text.h"
#include "media/textutil.h"
#include "media/translate.h"
