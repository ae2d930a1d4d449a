#include "platform/services.h"

namespace tarvex::platform {

char penDrive(Shell& shell, const std::string& pen) {
    size_t from = pen.find_first_not_of(' '), to = pen.find_last_not_of(' ');
    if (from == std::string::npos) return 0;
    const std::string name = pen.substr(from, to - from + 1);
    if (name.size() > 2 || (name.size() == 2 && name[1] != ':')) return shell.driveOfLabel(name);
    char letter = name[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
    return letter >= 'A' && letter <= 'Z' && shell.driveExists(letter) ? letter : 0;
}

}  // namespace tarvex::platform
