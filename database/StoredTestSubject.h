#pragma once

// A stored test as a report shows it: its row of Data with the date,
// duration and mode its row of Sessions keeps, laid out as the results
// window would show the test.

#include "results/ReportSubject.h"

class Regional;
class ResultsDatabase;

namespace StoredTestSubject {

// Throws Failure for an ID that Data does not hold or a row without M.
ReportSubject load(ResultsDatabase &con, qint64 id, const Regional &regional);

} // namespace StoredTestSubject
