#pragma once

#include "jetvalues.h"

#include <glib.h>
#include <mdbtools.h>

namespace peltavo::jet {

// Whether a property block (KKD/MR2) of the catalog is one that libmdb's catalog read decodes
// safely. libmdb walks these blocks trusting their lengths: a zero length loops for ever, an
// overlong one reads past the block, and a property given twice in one block loses memory.
bool propertyBlockSound(MdbHandle* mdb, Bytes block);

} // namespace peltavo::jet
