#pragma once
// One publication ("publiceer") or its dry run ("voorbeeld"), from the
// rubric selection to the delivered files and the on-air copies.
//
// DESIGN. A run is a plain function on a publication worker: it reads what
// it needs from the database in a few statements (the target files of the
// selection with every file they take along, the working copies of their
// rubrics with programmes and texts, the targets), renders each file from
// its export template, writes it into the output folder under a temporary
// name and renames it, delivers it to each of its targets, keeps the
// delivered copy, and finally copies the published working copies onto
// their on-air copies in one statement per rubric. It reports every step to
// the sink as the "publish" progress lines the publishing window shows, in
// the order setbar, doelfiles, export/exportdone per file, exportklaar,
// setbarup, upload/uploaddone or error per file, klaar, with log lines
// between them. The content published is the one read at the start: a
// rubric changed meanwhile goes on air as it was published, not as it is now.
// Only the texts the clocks put on air at the start of the run are rendered;
// the on-air copy still gets the whole content. A republication (the server's
// own, when a clock started or ended) renders the on-air copies instead and
// copies nothing on air.
// A dry run renders the same files and, instead of delivering, returns each
// with its difference against the copy last delivered.

#include "publish/Deliver.h"
#include "publish/Render.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qserver {
class DbConnection;
}

namespace qserver::publish {

struct Request {
    std::uint64_t connection = 0;  // who asked; progress goes there
    std::string login;
    int userId = 0;
    std::vector<std::int64_t> rubrics;  // the selection, each once
    bool preview = false;  // "voorbeeld": render and compare, deliver nothing
    // The server's own run when a clock started or ended: the rubrics' on-air
    // copies are published again as the clocks now show them, and nothing is
    // copied on air.
    bool republication = false;
};

struct Folders {
    std::string templates;  // export templates by name
    std::string output;  // built target files
    std::string delivered;  // the last delivered copy of each target file, by id
};

// What a run tells and asks its owner; called on the worker thread.
class Sink {
public:
    virtual ~Sink() = default;
    // One progress line, without "publish " ("setbar 3", "log <red>...").
    virtual void progress(const std::string &line) = 0;
    // Waits until no other publication holds any of the keys, then holds
    // them all; `waiting` is called once when it has to wait.
    virtual void claim(const std::vector<std::string> &keys, const std::function<void()> &waiting) = 0;
    virtual void release(const std::vector<std::string> &keys) = 0;
};

// One file of a dry run.
struct PreviewFile {
    std::int64_t id = 0;
    std::string naam;
    bool delivered = false;  // a copy was delivered before: the lines are a difference
    std::vector<std::string> lines;  // "+text", "-text" or " text"
    std::string error;  // the file could not be made
};

struct Outcome {
    bool databaseOk = true;
    std::size_t files = 0;
    std::size_t failed = 0;
    std::vector<std::int64_t> onAir;  // rubrics whose on-air copy now holds what was published
    std::map<std::int64_t, std::vector<std::int64_t>> shown;  // per rubric of the selection: the texts it published
    std::vector<PreviewFile> preview;
    double databaseSeconds = 0, renderSeconds = 0, deliverySeconds = 0;
};

Outcome run(DbConnection &db, const Request &request, const Folders &folders, const DeliveryOptions &delivery,
            Sink &sink);

// ---- The phases of a run, in their order; `run` is nothing but these. ----

// One target file as a run carries it through its phases.
struct FileWork {
    FileRow row;
    std::string shown;  // the name in the progress lines
    std::vector<Target> targets;
    std::string content;  // as rendered
    bool built = false;  // rendered and written into the output folder
    bool sent = false;  // arrived at every target
};

// What a run publishes, as read at its start.
struct Work {
    std::vector<FileWork> files;  // in name order
    std::map<std::int64_t, RubricData> rubrics;  // of the files and of the selection
};

// The moment of a run in the server's local time, by `by`.
Moment now(const std::string &by);

// Load: the files of the selection with the files they take along, their
// rubrics (working copies, or the on-air copies for a republication) with
// programmes and the texts the clocks put on air at `moment`, and their
// targets. False and `error` when the database fails; `work` is then
// incomplete.
bool load(DbConnection &db, const Request &request, const Moment &moment, Work &work, std::string &error);

// Build one file: renders it and, unless a dry run, writes it into the
// output folder. The reason it could not be made, or "".
std::string buildFile(FileWork &f, const Work &work, const Request &request, const Folders &folders,
                      const Moment &moment);

// Build: every file in order, with "export"/"exportdone" (or a red log line)
// per file; a dry run collects the differences in `outcome.preview` instead.
void build(Work &work, const Request &request, const Folders &folders, const Moment &moment, Sink &sink,
           Outcome &outcome);

// Deliver: every built file to each of its targets, "upload" and then
// "uploaddone" or "error" per file; keeps the delivered copy.
void deliverAll(Work &work, const Folders &folders, const DeliveryOptions &delivery, Sink &sink, Outcome &outcome);

// On air: each rubric of the selection whose files all arrived gets its
// on-air copy filled with what was published (its whole content: the cycle
// shows the texts off the air with "***").
void putOnAir(DbConnection &db, const Work &work, const Request &request, const Moment &moment, Sink &sink,
              Outcome &outcome);

// The lines of `before` and `after` as a difference: "-" for lines only in
// before, "+" only in after, " " in both; at most `limit` lines, the last
// then saying how many were left out.
std::vector<std::string> lineDifference(const std::string &before, const std::string &after, std::size_t limit);

}  // namespace qserver::publish
