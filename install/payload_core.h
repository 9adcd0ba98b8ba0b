// The payload's portable core, shared by the installer, the packing tool and the fuzzers, one
// concern to a file:
// - md5.h: MD5, whole and incremental (md5_rounds.h: its 64 steps as one table);
// - keystreams.h: both keystreams and the key chain from entry to entry;
// - entry_pass.h: the one pass over an entry (both digests and the keystream);
// - catalogue_entry.h: the 156-byte catalogue record and its bounds rule;
// - name_rules.h: which catalogue names may be used below the program folder;
// - folder_levels.h: folder creation level by level;
// - payload_walk.h: the verifying walk (with its memory of earlier walks over the same blob),
//   the extractor on top of it and the packer's scrambler.
// All of it works on a blob in memory and reaches files only through the callbacks it is
// given; the Win32 side (payload_win.cpp) finds the blob in the program's resource, copies the
// catalogue into the context, makes the blob's pages writable and supplies the file
// operations.
#pragma once

#include "editions/edition.h"
#include "install/catalogue_entry.h"
#include "install/entry_pass.h"
#include "install/folder_levels.h"
#include "install/keystreams.h"
#include "install/md5.h"
#include "install/name_rules.h"
#include "install/payload.h"
#include "install/payload_walk.h"
