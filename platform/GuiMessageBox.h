#pragma once

namespace dw {

// Makes MessageBoxA show a real modal QMessageBox with German buttons.
void InstallQtMessageBoxHandler();

} // namespace dw
