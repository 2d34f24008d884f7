#include "output/streamconsole.h"

namespace geovanta {

void StreamConsole::stepProgress() {
    ++position_;
    out_ << prefix_ << "writing GPS tags: " << position_ << " of " << maximum_ << " photos\n";
    out_.flush();
}

void StreamConsole::notice(const std::string& line) {
    out_ << prefix_ << line << '\n';
    out_.flush();
}

}  // namespace geovanta
