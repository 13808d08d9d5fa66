#pragma once

#include <QString>

namespace peltavo::test {

// Runs test `name` ("Suite.Test") of this test program again in a child process whose environment
// sets `variable` to `value`; the test, seeing the variable, does its checks there. With `alone`
// the child is a copy of the program, with only its Jet reader beside it, in a folder of its own.
// Fails the calling test unless the child ran the test and it passed.
void expectPassesInChild(const char* name, const char* variable, const QString& value,
                         bool alone = false);

} // namespace peltavo::test
