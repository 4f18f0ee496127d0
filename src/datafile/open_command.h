#pragma once
// Command1 "噴火データファイルを開く": loads an eruption data file into the table.

namespace eq {

class Form1;

void openEruptionDataFile(Form1& form);

}  // namespace eq
