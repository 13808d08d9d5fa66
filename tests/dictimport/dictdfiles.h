#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace peltavo::freedict {

using Articles = std::vector<std::pair<QString, QString>>; // index headword, article text

// Writes NAME.index and NAME.dict.dz (or NAME.dict) in dir, the way dictfmt lays them out.
void writeDictd(const QString& dir, const QString& name, const Articles& articles,
                bool compressed = true);

} // namespace peltavo::freedict
