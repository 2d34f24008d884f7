#pragma once
// A scripted stand-in for the person at the screen: records every message and
// answers every question from queues the test fills beforehand.

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "app/commands/dialogs.h"

namespace geovanta::test {

// GCC 12 takes the vector inside a moved std::optional<OffsetFields> for
// uninitialised (a known false positive of its flow analysis).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
class FakeDialogs : public Dialogs {
public:
    struct Message {
        MessageKind kind;
        std::string text;
    };
    struct OpenFileCall {
        std::string startFolder, filters, fileName;
        int filterIndex;
    };

    std::vector<Message> messages;
    std::vector<OpenFileCall> openFileCalls;
    std::vector<std::string> viewed;
    bool viewerStarts = true;
    std::vector<std::string> photoFolderShown;
    std::vector<bool> photoSubfoldersShown;
    std::vector<OffsetFields> offsetsShown;
    std::vector<std::string> questions;

    std::deque<bool> okCancelAnswers;
    std::deque<std::optional<FileChoice>> fileAnswers;
    std::deque<std::optional<std::string>> photoFolderAnswers;
    std::deque<bool> photoSubfoldersAnswers;  // the checkbox with each folder answered; unticked when empty
    std::deque<std::optional<OffsetFields>> offsetsAnswers;
    struct ShotTimeCall {
        std::string photoName;
        int64_t shownMs;
    };
    std::vector<ShotTimeCall> shotTimeCalls;
    std::deque<std::optional<int64_t>> shotTimeAnswers;

    void showMessage(MessageKind kind, const std::string& text) override { messages.push_back({kind, text}); }
    bool askOkCancel(const std::string& text) override {
        questions.push_back(text);
        return pop(okCancelAnswers, false);
    }
    std::optional<FileChoice> openFile(const std::string& startFolder, const std::string& filters, int filterIndex,
                                       const std::string& fileName) override {
        openFileCalls.push_back({startFolder, filters, fileName, filterIndex});
        return pop(fileAnswers, std::optional<FileChoice>());
    }
    std::optional<PhotoFolderChoice> askPhotoFolder(const PhotoFolderChoice& shown) override {
        photoFolderShown.push_back(shown.folder);
        photoSubfoldersShown.push_back(shown.withSubfolders);
        const auto folder = pop(photoFolderAnswers, std::optional<std::string>());
        const bool withSubfolders = pop(photoSubfoldersAnswers, false);
        if (!folder) return std::nullopt;
        return PhotoFolderChoice{*folder, withSubfolders};
    }
    std::optional<OffsetFields> askOffsets(const OffsetFields& fields) override {
        offsetsShown.push_back(fields);
        return pop(offsetsAnswers, std::optional<OffsetFields>());
    }
    std::optional<int64_t> askShotTime(const std::string& photoName, int64_t shownMs) override {
        shotTimeCalls.push_back({photoName, shownMs});
        return pop(shotTimeAnswers, std::optional<int64_t>());
    }
    bool openWithViewer(const std::string& path) override {
        viewed.push_back(path);
        return viewerStarts;
    }

private:
    template <typename T>
    static T pop(std::deque<T>& q, T fallback) {
        if (q.empty()) return fallback;
        T v = std::move(q.front());
        q.pop_front();
        return v;
    }
};

#pragma GCC diagnostic pop

}  // namespace geovanta::test
