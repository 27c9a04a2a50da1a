// The sprite bank store: everything about sprites that needs no window.
#pragma once

#include "core/Bitmap.h"
#include "core/Exchange.h"
#include "core/FileIO.h"
#include "core/Palette.h"
#include "core/Pixels.h"
#include "core/ProjectFiles.h"
#include "core/RangeOps.h"
#include "core/Render.h"
#include "core/Rotation.h"
#include "core/Snapshot.h"
#include "core/Sprite.h"
#include "core/TextListing.h"
#include "core/Transforms.h"
#include "core/Types.h"
#include "core/UndoHistory.h"
