#pragma once

// Checks of a Jet 4 file's bookkeeping that readers skip but Access relies on when it writes:
// every page has exactly one owner; each table's usage maps list exactly its data pages and
// each memo column's maps its long-value pages; the pages said to have free space belong to
// their owner; every data page states its free space and row count truly; row counts in the
// table definitions match the rows on the pages; the global map marks no page of the file free.

#include <QString>

#include <gtest/gtest.h>

namespace peltavo::test {

// Success, or the first fault found.
::testing::AssertionResult soundJetStructure(const QString& path);

} // namespace peltavo::test
