// The catalogue's tables. A folder keeps its stamp and when its entries were
// read whole (`listed`) or last changed here (`updated`); an entry keeps its
// name twice more for the name patterns: in lower case (an index on
// lower(name)) and reversed (`tail`), so that "roads*" and "*.shp" each read
// only the names they may match; both indexes hold every column an answer
// reads, so that it reads no row of the table itself. A footprint across the antimeridian (west
// east of east) is kept in the R*Tree as the whole width of the earth. An
// entry of a layer type is `unread` while no footprint was read from the
// file as the entry stamps it: the files an area search must read besides
// those the R*Tree gives.
#include "catalogue_schema.h"

namespace finder {

namespace {

// A footprint read from a file as its entry stamps it now: the entry is read.
constexpr char kEntryRead[] = R"sql( BEGIN
  UPDATE entry SET unread = 0 WHERE unread = 1 AND inode = new.inode AND size = new.size
    AND modified = new.modified
    AND name = substr(new.path, length(rtrim(new.path, replace(new.path, '/', ''))) + 1)
    AND folder = (SELECT id FROM folder WHERE path =
      CASE WHEN rtrim(new.path, replace(new.path, '/', '')) = '/' THEN '/'
      ELSE rtrim(rtrim(new.path, replace(new.path, '/', '')), '/') END);
END;
)sql";

constexpr char kAreaTriggers[] = R"sql(
CREATE VIRTUAL TABLE IF NOT EXISTS footprint_area USING rtree(id, west, east, south, north);
CREATE TRIGGER IF NOT EXISTS footprint_area_added AFTER INSERT ON footprint
WHEN new.lon_west IS NOT NULL BEGIN
  INSERT INTO footprint_area VALUES (new.rowid,
    CASE WHEN new.lon_west <= new.lon_east THEN new.lon_west ELSE -180 END,
    CASE WHEN new.lon_west <= new.lon_east THEN new.lon_east ELSE 180 END,
    min(new.lat_south, new.lat_north), max(new.lat_south, new.lat_north));
END;
CREATE TRIGGER IF NOT EXISTS footprint_area_changed
AFTER UPDATE OF lon_west, lat_north, lon_east, lat_south ON footprint BEGIN
  DELETE FROM footprint_area WHERE id = old.rowid;
  INSERT INTO footprint_area SELECT new.rowid,
    CASE WHEN new.lon_west <= new.lon_east THEN new.lon_west ELSE -180 END,
    CASE WHEN new.lon_west <= new.lon_east THEN new.lon_east ELSE 180 END,
    min(new.lat_south, new.lat_north), max(new.lat_south, new.lat_north)
  WHERE new.lon_west IS NOT NULL;
END;
CREATE TRIGGER IF NOT EXISTS footprint_area_removed AFTER DELETE ON footprint BEGIN
  DELETE FROM footprint_area WHERE id = old.rowid;
END;
)sql";

constexpr char kTables[] = R"sql(
CREATE TABLE IF NOT EXISTS folder (
  id INTEGER PRIMARY KEY,
  path TEXT NOT NULL UNIQUE,
  device INTEGER NOT NULL, inode INTEGER NOT NULL, size INTEGER NOT NULL,
  modified INTEGER NOT NULL,
  listed INTEGER NOT NULL,
  updated INTEGER NOT NULL,
  seen INTEGER NOT NULL,
  watch_session INTEGER NOT NULL DEFAULT 0,
  watched INTEGER NOT NULL DEFAULT 0,
  watch_problem TEXT
);
CREATE INDEX IF NOT EXISTS folder_seen ON folder(seen);
CREATE INDEX IF NOT EXISTS folder_watch ON folder(watch_session);
CREATE TABLE IF NOT EXISTS entry (
  folder INTEGER NOT NULL, name TEXT NOT NULL, tail TEXT NOT NULL,
  seq INTEGER NOT NULL, kind INTEGER NOT NULL, size INTEGER NOT NULL,
  modified INTEGER NOT NULL, inode INTEGER NOT NULL,
  unread INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (folder, name)
) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS entry_head ON entry(lower(name), kind, size, modified, inode, seq);
CREATE INDEX IF NOT EXISTS entry_tail ON entry(tail, kind, size, modified, inode, seq);
CREATE INDEX IF NOT EXISTS entry_subfolder ON entry(folder, seq) WHERE kind = 1;
CREATE INDEX IF NOT EXISTS entry_unread ON entry(folder) WHERE unread = 1;
CREATE TABLE IF NOT EXISTS watcher (
  id INTEGER PRIMARY KEY CHECK (id = 1),
  session INTEGER NOT NULL, pid INTEGER NOT NULL, started INTEGER NOT NULL,
  watch_limit INTEGER NOT NULL
);
)sql";

} // namespace

std::string catalogueSchema() {
    return std::string(kAreaTriggers) +
           "CREATE TRIGGER IF NOT EXISTS footprint_read_added AFTER INSERT ON footprint" +
           kEntryRead +
           "CREATE TRIGGER IF NOT EXISTS footprint_read_changed\n"
           "AFTER UPDATE OF inode, size, modified ON footprint" +
           kEntryRead + kTables;
}

std::string dropFoldersSql(std::int64_t oldestDay) {
    const std::string day = std::to_string(oldestDay);
    return "DELETE FROM entry WHERE folder IN (SELECT id FROM folder WHERE seen < " + day +
           "); DELETE FROM folder WHERE seen < " + day + ";";
}

} // namespace finder
