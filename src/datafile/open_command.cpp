#include "datafile/open_command.h"

#include "app/form1.h"

namespace eq {

void openEruptionDataFile(Form1&) {}

LoadResult loadEruptionDataFile(Form1&, const QString&) { return {}; }

}  // namespace eq
