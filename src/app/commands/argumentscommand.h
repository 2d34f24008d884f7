#pragma once
// Files and folders named on the command line (or by a file manager), loaded
// in the order given exactly as the load commands load them: a folder as the
// photo folder, a file by the reader of its extension. A bad one shows its
// usual message and the rest still load.

#include <string>
#include <vector>

namespace geovanta {

class Dialogs;
class PhotoLoadCommand;
class TrackLoadCommand;

class ArgumentsCommand {
public:
    ArgumentsCommand(Dialogs& dialogs, TrackLoadCommand& tracks, PhotoLoadCommand& photos)
        : dialogs_(dialogs), tracks_(tracks), photos_(photos) {}

    void load(const std::vector<std::string>& paths);

private:
    Dialogs& dialogs_;
    TrackLoadCommand& tracks_;
    PhotoLoadCommand& photos_;
};

}  // namespace geovanta
