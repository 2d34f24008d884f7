#pragma once
// "Set the time from this photograph": the user gives the true moment the
// current photograph was taken (read off a GPS or phone clock that was
// photographed, say), and the offset of its camera becomes whatever makes
// this photograph's shifted time equal it; for a photograph without a
// camera, the photo offset. Offsets are saved as the offsets dialog saves
// them and the pass runs.

namespace geovanta {

class Dialogs;
class Document;
class JobRunner;

class ReferencePhotoCommand {
public:
    ReferencePhotoCommand(Document& document, Dialogs& dialogs, JobRunner& jobs)
        : document_(document), dialogs_(dialogs), jobs_(jobs) {}

    void run();

private:
    Document& document_;
    Dialogs& dialogs_;
    JobRunner& jobs_;
};

}  // namespace geovanta
