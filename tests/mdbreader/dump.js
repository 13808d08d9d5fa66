// Prints a Jet file's tables, or one table's columns and rows, as JSON through mdb-reader: the
// independent reader that Peltavo's own reader and writer are checked against.
//   node dump.js FILE            -> {"tables": [...]}
//   node dump.js FILE TABLE      -> {"name", "columns": [{"name", "type"}], "rows": [[...]]}
//   node dump.js FILE --all      -> {"tables": [{"name", "columns", "rows"}, ...]}, every table
// Null stays null; numbers are printed as decimal text, as Peltavo reads them; dates in ISO 8601
// (UTC), binary values (OLE objects) in base64.
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [file, table] = process.argv.slice(2);
if (!file) {
    console.error("usage: node dump.js FILE [TABLE]");
    process.exit(64);
}
const reader = new MDBReader(readFileSync(file));
if (!table) {
    process.stdout.write(JSON.stringify({ tables: reader.getTableNames() }));
    process.exit(0);
}
const text = (v) => {
    if (v === null || v === undefined) return null;
    if (typeof v === "string") return v;
    if (typeof v === "number" || typeof v === "bigint") return String(v);
    if (typeof v === "boolean") return v ? "1" : "0";
    if (v instanceof Date) return v.toISOString();
    if (Buffer.isBuffer(v)) return v.toString("base64");
    return String(v);
};
const dump = (name) => {
    const t = reader.getTable(name);
    const columns = t.getColumns().map((c) => ({ name: c.name, type: c.type }));
    const rows = t.getData().map((r) => columns.map((c) => text(r[c.name])));
    return { name: t.name, columns, rows };
};
if (table === "--all") {
    process.stdout.write(JSON.stringify({ tables: reader.getTableNames().map(dump) }));
} else {
    process.stdout.write(JSON.stringify(dump(table)));
}
