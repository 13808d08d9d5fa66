#pragma once

#include <QString>

namespace peltavo {

class DataSource;
class TableHandle;

// The main window's two dictionaries: the tables and the data sources that show them.
struct DictionaryTables {
    TableHandle* Tablei = nullptr; // English-Turkish, "isozluk"
    TableHandle* Tablet = nullptr; // Turkish-English, "tsozluk"
    DataSource* tableids = nullptr;
    DataSource* tabletds = nullptr;
};

// Everything that one translation direction binds: the dictionary the grid, the search and the
// detail window work on, the fields of the two conversation panes and the captions.
struct DirectionBindings {
    QString direction;     // "it" or "ti"
    bool englishToTurkish; // which of the two dictionaries
    QString headwordField; // grid column 0 and the detail window's headword box
    QString meaningField;  // grid column 1 and the detail window's meaning memo
    QString progField;     // the conversation pane
    QString kullandbField; // the translation pane
    QString turbCaption;   // names the direction a click switches to
    QString sbulCaption;   // names the direction in force
};

// The bindings of "it" or "ti"; null for any other text (an empty direction after a failed
// start). The comparison is exact.
const DirectionBindings* bindingsOf(const QString& direction);

// Where the direction switch leads: "ti" from exactly "it", "it" from anything else.
const DirectionBindings& switchedFrom(const QString& direction);

// The dictionary table and data source of a direction's bindings.
TableHandle* dictionaryTable(const DictionaryTables& tables, const DirectionBindings& bindings);
DataSource* dictionarySource(const DictionaryTables& tables, const DirectionBindings& bindings);

} // namespace peltavo
