#pragma once
// Where the program finds its data files.

#include <QString>

namespace eq {

// The background map JapanMap3.bmp beside the program.
QString backgroundMapPath();

}  // namespace eq
