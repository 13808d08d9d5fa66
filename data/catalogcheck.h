#pragma once

#include <QString>

extern "C" {
#include <mdbtools.h>
}

namespace peltavo {

// Checks the property blocks (KKD/MR2) that libmdb's catalog read decodes for every object of the
// file. libmdb walks them trusting their lengths: a zero length loops for ever and an overlong one
// reads past the block. Returns an empty text when every block is sound, otherwise what is wrong;
// the caller then reports the file as unreadable instead of calling mdb_read_catalog.
QString catalogPropertiesFault(MdbHandle* mdb);

} // namespace peltavo
