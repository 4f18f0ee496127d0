#include "datafile/save_command.h"

#include "app/form1.h"

namespace eq {

void saveEruptionData(Form1&) {}

}  // namespace eq
