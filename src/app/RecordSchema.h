#pragma once

#include <string>
#include <vector>

class QSqlQuery;

namespace dgaws {

// One change of the test-record tables. A database remembers how many steps it has had,
// so a step is only ever added at the end and never altered once a database may have run
// it: a column is added by a new step ("ALTER TABLE ... ADD COLUMN ... DEFAULT ...", which
// both engines accept), never by editing the tables' first layout.
struct RecordSchemaStep {
    std::vector<std::string> sqlite;
    std::vector<std::string> postgres;
};

// The steps in order; the database's version is the number of steps it has had.
const std::vector<RecordSchemaStep>& recordSchemaSteps();
int currentRecordSchemaVersion();

// Creates the tables of the first layout where missing, then runs the steps the database
// has not had and records the new version, all on `query`'s connection inside the
// transaction the caller holds (so two programs opening one database never both migrate
// it, and a failed step leaves the old layout whole). A database written by a later
// program, with more steps than these, is left as it is. False with the error in `query`.
bool upgradeRecordSchema(QSqlQuery& query, bool postgres);

}  // namespace dgaws
