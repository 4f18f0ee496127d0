#include "datafile/open_command.h"

#include "app/form1.h"

namespace eq {

void openEruptionDataFile(Form1&) {}

}  // namespace eq
