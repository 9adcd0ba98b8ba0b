// The file operations that Windows carries out at the next restart, as MoveFileEx stores
// them in the value "PendingFileRenameOperations": pairs of UTF-16 texts (source, target),
// each ended by a zero, the list ended by one more zero; an empty target deletes the source.
// The value holds the entries of every program on the machine.
#pragma once

#include <cstddef>
#include <cstdint>

// Copies the list `value` (`units` UTF-16 units, as read) into `out` without the deletions
// whose source is `folder` or lies below it, except ".del" files. Every other pair is copied
// unchanged and in order. Sources may carry the "\??\" prefix; names compare ignoring ASCII
// case. Returns the number of pairs left out, with the length of the new list in `outUnits`
// (0 when no pair is left, so that the value can go); -1 when the value is not a whole list
// of pairs or does not fit `out`, which must then stay as it is.
int DropPendingDeletionsBelow(const uint16_t* value, size_t units, const uint16_t* folder,
                              uint16_t* out, size_t outCapacity, size_t* outUnits);

#ifdef _WIN32
// Removes from the machine's pending operations every deletion at the next restart of the
// folder or of a file or folder below it, except ".del" files: an install about to write
// there must not see the next restart delete what it wrote. Returns the number removed, or
// -1 when the value could not be read whole or written back.
int ForgetPendingDeletionsBelow(const char* folder);
#endif
