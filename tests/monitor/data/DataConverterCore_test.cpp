// The data converter window's logic: its checks, the folder it walks and the
// files it takes, a run over one file or a folder with its texts, failures
// and abort, the progress figures and the options' profile entries; with a
// fake file system, link, view and timers.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/MainWndProfile.h"
#include "data/DataConverterCore.h"
#include "link/CController.h"
#include "link/TimerHost.h"
#include "model/ReceiverEvent.h"

namespace {

// ---- Fakes ------------------------------------------------------------------------------

class FakeFolder : public IDataFolder {
public:
    bool IsDirectory(const CString& path) override { return m_dirs.count(path.GetString()) != 0; }
    bool IsFile(const CString& path) override { return m_files.count(path.GetString()) != 0; }
    void List(const CString& folder, std::vector<DataFolderEntry>& entries) override
    {
        ++listCalls;
        entries.clear();
        auto it = m_entries.find(folder.GetString());
        if (it != m_entries.end()) entries = it->second;
    }

    void AddDir(const std::string& path) { m_dirs.insert(path); }
    void AddFile(const std::string& path) { m_files.insert(path); }
    // An entry of a folder that exists as a file (or a directory) beside it.
    void AddEntry(const std::string& folder, const std::string& name, bool directory = false)
    {
        AddDir(folder);
        DataFolderEntry entry;
        entry.name = name.c_str();
        entry.directory = directory;
        m_entries[folder].push_back(entry);
        const std::string path = folder + "\\" + name;
        if (directory)
            AddDir(path);
        else
            AddFile(path);
    }

    int listCalls = 0;

private:
    std::set<std::string> m_dirs;
    std::set<std::string> m_files;
    std::map<std::string, std::vector<DataFolderEntry>> m_entries;
};

// How one recording behaves when the link opens it.
struct FileScript {
    int result = 0;
    int32_t error = LINK_ERROR_NONE;
    std::string failedFile;     // named by a failed open or a failed run
    bool failsWriting = false;  // the run's outputs fail (seen after Close)
    bool endsDuringOpen = false;
    int64_t size = 1000;
    int32_t records = 7;
};

class FakeLink : public IConversionLink {
public:
    void BeginRun() override { journal.push_back("begin"); }
    bool Listen() override
    {
        journal.push_back("listen");
        if (!listenWorks) return false;
        m_listening = true;
        return true;
    }
    void StopListening() override
    {
        journal.push_back("stop listening");
        m_listening = false;
    }
    int Open(const ConverterOptions& options, int32_t* error) override
    {
        const std::string path = options.inputPath.GetString();
        journal.push_back("open " + path);
        opened.push_back(options);
        m_current = scripts[path];
        *error = m_current.error;
        // The reader can reach the end of a short recording before this returns.
        if (m_current.result == 0 && m_current.endsDuringOpen) Post(EV_END_OF_DATA);
        return m_current.result;
    }
    void Abort() override { journal.push_back("abort"); }
    void Close() override { journal.push_back("close"); }
    CString GetFailedFile() override { return CString(m_current.failedFile.c_str()); }
    bool HasFailed() override { return m_current.failsWriting; }
    int32_t GetRecordCount() override { return m_current.records; }
    int64_t GetReadPosition() override { return position; }
    int64_t GetInputSize() override { return m_current.size; }

    // A receiver event for the window: lost unless it listens.
    void Post(int32_t event)
    {
        if (m_listening) posted.push_back(event);
    }

    std::map<std::string, FileScript> scripts;
    std::vector<std::string> journal;
    std::vector<ConverterOptions> opened;
    std::deque<int32_t> posted;
    int64_t position = 0;
    bool listenWorks = true;

private:
    FileScript m_current;
    bool m_listening = false;
};

class RecordingView : public IConverterRunView {
public:
    struct Status {
        std::string text;
        ConverterStatusColour colour;
    };
    void ShowMessage(const char* text) override { boxes.push_back(text); }
    void WriteErrorLine(const char* text) override { errors.push_back(text); }
    void SetStatus(const CString& text, ConverterStatusColour colour) override
    {
        statuses.push_back(Status{text.GetString(), colour});
    }
    void SetConvertButtonText(const char* text) override { button = text; }
    void SetProgressRange(int32_t r) override { range = r; }
    void SetProgressPosition(int32_t p) override { bar = p; }
    void SetPercentText(const CString& text) override { percent = text.GetString(); }
    void SetRecordCountText(const CString& text) override { count = text.GetString(); }
    void SaveChoices(const ConverterOptions& options) override { saved.push_back(options); }
    void EndUnattended(int32_t exitCode) override { ends.push_back(exitCode); }

    // Every status text that is not empty, in order.
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Status& s : statuses)
            if (!s.text.empty()) texts.push_back(s.text);
        return texts;
    }
    const Status& Last() const { return statuses.back(); }

    std::vector<std::string> boxes;
    std::vector<std::string> errors;
    std::vector<Status> statuses;
    std::string button = "Convert";
    int32_t range = -1;
    int32_t bar = -1;
    std::string percent;
    std::string count;
    std::vector<ConverterOptions> saved;
    std::vector<int32_t> ends;
};

class FakeTimers : public ITimerHost {
public:
    bool SetTimer(uint32_t id, uint32_t ms) override
    {
        active[id] = ms;
        return true;
    }
    void KillTimer(uint32_t id) override { active.erase(id); }
    bool IsActive(uint32_t id) const { return active.count(id) != 0; }
    std::map<uint32_t, uint32_t> active;
};

// A run with its fakes, and the options of the window's controls.
struct RunFixture {
    RunFixture() : run(link, folder, view, timers)
    {
        options.kml = true;
        options.nmeaGga = true;
    }
    // Delivers what the link posted to the window, as its message loop would.
    void Pump()
    {
        while (!link.posted.empty()) {
            const int32_t event = link.posted.front();
            link.posted.pop_front();
            if (event == EV_END_OF_DATA) run.OnEndOfData();
        }
    }
    // The reader reaches the end of the file being converted.
    void EndOfData()
    {
        link.Post(EV_END_OF_DATA);
        Pump();
    }
    std::vector<std::string> OpenedFiles() const
    {
        std::vector<std::string> files;
        for (const ConverterOptions& o : link.opened) files.push_back(o.inputPath.GetString());
        return files;
    }

    FakeFolder folder;
    FakeLink link;
    RecordingView view;
    FakeTimers timers;
    ConverterRun run;
    ConverterOptions options;
};

// ---- Checks --------------------------------------------------------------------------------

TEST(ConverterChecks, ConvertButtonRefusesInOrder)
{
    FakeFolder folder;
    folder.AddFile("C:\\logs\\run.qbl");
    folder.AddDir("C:\\logs");

    struct Case {
        const char* what;
        void (*change)(ConverterOptions&);
        const char* message;
    };
    const Case cases[] = {
        {"acceptable", [](ConverterOptions&) {}, nullptr},
        {"no file, and nothing else either",
         [](ConverterOptions& o) {
             o.inputPath = "";
             o.kml = false;
         },
         "Select a log file!"},
        {"missing file", [](ConverterOptions& o) { o.inputPath = "C:\\logs\\gone.qbl"; },
         "Specified file does not exist or cannot be opened!"},
        {"a folder is no file", [](ConverterOptions& o) { o.inputPath = "C:\\logs"; },
         "Specified file does not exist or cannot be opened!"},
        {"folder run on a folder", [](ConverterOptions& o) {
             o.inputPath = "C:\\logs";
             o.convertAll = true;
         }, nullptr},
        {"folder run on a file", [](ConverterOptions& o) { o.convertAll = true; }, nullptr},
        {"folder run on nothing",
         [](ConverterOptions& o) {
             o.inputPath = "C:\\gone";
             o.convertAll = true;
             o.kml = false;
         },
         "Specified directory does not exist!"},
        {"no output", [](ConverterOptions& o) { o.kml = false; }, "Select at least one file format to generate!"},
        {"blank line without an id",
         [](ConverterOptions& o) {
             o.blankLine = true;
             o.spreadsheet = true;
             o.spreadsheetSplit = true;
             o.linesPerPart = 0;
         },
         "Enter packet ID for blank line (under Options)."},
        {"split into parts of no line",
         [](ConverterOptions& o) {
             o.spreadsheet = true;
             o.spreadsheetSplit = true;
             o.linesPerPart = 0;
         },
         "Number of lines must be at least 1 (under Options)."},
        {"no lines matter without the spreadsheet",
         [](ConverterOptions& o) {
             o.spreadsheetSplit = true;
             o.linesPerPart = 0;
         },
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConverterOptions options;
        options.inputPath = "C:\\logs\\run.qbl";
        options.kml = true;
        c.change(options);
        const char* message = CheckConvertRequest(options, folder);
        if (c.message == nullptr)
            EXPECT_EQ(message, nullptr) << message;
        else
            EXPECT_STREQ(message, c.message);
    }
}

TEST(ConverterChecks, OptionsDialogRefusesInOrder)
{
    struct Case {
        const char* what;
        bool blankLine;
        const char* blankId;
        int32_t lines;
        bool range;
        int32_t startWeek, startTow, endWeek, endTow;
        const char* message;
    };
    const Case cases[] = {
        {"defaults", false, "", 32000, false, -1, -1, -1, -1, nullptr},
        {"blank line first", true, "", 0, true, 1, 1, 1, 1, "Enter packet ID for blank line!"},
        {"blank line with an id", true, "8F", 32000, false, -1, -1, -1, -1, nullptr},
        {"no lines, even unsplit", false, "", 0, true, 1, 1, 1, 1, "Number of lines must be at least 1."},
        {"interval", false, "", 1, true, 1400, 0, 1400, 86400, nullptr},
        {"interval over a week", false, "", 1, true, 1400, 604000, 1401, 100, nullptr},
        {"start equals end", false, "", 1, true, 1400, 100, 1400, 100, "Invalid processing time interval specified."},
        {"weeks compared modulo 1024", false, "", 1, true, 400, 100, 1424, 100,
         "Invalid processing time interval specified."},
        {"end before start", false, "", 1, true, 1400, 200, 1400, 100, "Invalid processing time interval specified."},
        {"a value not given", false, "", 1, true, 1400, -1, 1400, 100, "Invalid processing time interval specified."},
        {"any interval while off", false, "", 1, false, 1400, 200, 1400, 100, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConverterOptions o;
        o.blankLine = c.blankLine;
        o.blankLinePacketId = c.blankId;
        o.linesPerPart = c.lines;
        o.rangeOn = c.range;
        o.startWeek = c.startWeek;
        o.startTimeOfWeek = c.startTow;
        o.endWeek = c.endWeek;
        o.endTimeOfWeek = c.endTow;
        const char* message = CheckConverterOptions(o);
        if (c.message == nullptr)
            EXPECT_EQ(message, nullptr) << message;
        else
            EXPECT_STREQ(message, c.message);
    }
}

// ---- Folder runs ---------------------------------------------------------------------------

TEST(ConverterFolder, DirectoryIsItsOwnFolderElseTheFilesFolder)
{
    FakeFolder folder;
    folder.AddDir("C:\\logs\\v1.2");
    folder.AddDir("C:\\logs\\");
    struct Case {
        const char* path;
        const char* expected;
    } const cases[] = {
        {"C:\\logs\\v1.2", "C:\\logs\\v1.2"},
        {"C:\\logs\\a.log", "C:\\logs"},
        {"C:\\logs\\v1.2\\a.log", "C:\\logs\\v1.2"},
        {"C:\\logs\\", "C:\\logs\\"},
        {"C:\\a.log", "C:\\"},
        {"logs/sub/x.qbl", "logs/sub"},
        {"a.log", "."},
    };
    for (const auto& c : cases) EXPECT_EQ(std::string(GetConversionFolder(c.path, folder).GetString()), c.expected) << c.path;
}

TEST(ConverterFolder, WalkTakesOneSortedSnapshotOfDataFiles)
{
    FakeFolder folder;
    for (const char* name : {"b.log", "A.qbl", "c.log.bak", "notes.txt", "run.CSV", "B.LOG.kml"})
        folder.AddEntry("C:\\logs", name);
    folder.AddEntry("C:\\logs", "old.log", true);

    const std::vector<CString> files = ListDataFiles("C:\\logs", folder);
    std::vector<std::string> names;
    for (const CString& f : files) names.push_back(f.GetString());
    EXPECT_EQ(names, (std::vector<std::string>{"C:\\logs\\A.qbl", "C:\\logs\\b.log", "C:\\logs\\B.LOG.kml",
                                               "C:\\logs\\c.log.bak"}));
    EXPECT_EQ(folder.listCalls, 1);

    EXPECT_TRUE(IsDataFileName("X.QBL"));
    EXPECT_FALSE(IsDataFileName("xlog.txt"));
    EXPECT_TRUE(ListDataFiles("C:\\empty", folder).empty());
}

TEST(ConverterFolder, SystemFolderListsRealEntries)
{
    char pattern[] = "/tmp/convdlg_walkXXXXXX";
    const char* dir = mkdtemp(pattern);
    ASSERT_NE(dir, nullptr);
    const std::string root = dir;
    for (const char* name : {"b.log", "A.qbl", "c.log.bak", "notes.txt"}) {
        FILE* file = std::fopen((root + "/" + name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    ASSERT_EQ(mkdir((root + "/old.log").c_str(), 0700), 0);

    IDataFolder& system = GetSystemDataFolder();
    EXPECT_TRUE(system.IsDirectory(root.c_str()));
    EXPECT_TRUE(system.IsFile((root + "/b.log").c_str()));
    EXPECT_FALSE(system.IsFile((root + "/old.log").c_str()));
    EXPECT_EQ(std::string(GetConversionFolder((root + "/b.log").c_str(), system).GetString()), root);
    std::vector<std::string> paths;
    for (const CString& p : ListDataFiles(root.c_str(), system)) paths.push_back(p.GetString());
    EXPECT_EQ(paths, (std::vector<std::string>{root + "/A.qbl", root + "/b.log", root + "/c.log.bak"}));

    for (const char* name : {"b.log", "A.qbl", "c.log.bak", "notes.txt"}) unlink((root + "/" + name).c_str());
    rmdir((root + "/old.log").c_str());
    rmdir(root.c_str());
}

// ---- Runs --------------------------------------------------------------------------------------

// b.log, A.qbl, c.log.bak converted in turn, notes.txt and the folder old.log left out.
void AddWalkFixture(RunFixture& f)
{
    for (const char* name : {"b.log", "A.qbl", "c.log.bak", "notes.txt"}) f.folder.AddEntry("C:\\logs", name);
    f.folder.AddEntry("C:\\logs", "old.log", true);
    f.options.inputPath = "C:\\logs\\b.log";
    f.options.convertAll = true;
}

TEST(ConverterRun, FolderRunCountsFilesAndCompletes)
{
    RunFixture f;
    AddWalkFixture(f);

    f.run.OnConvert(f.options);
    EXPECT_TRUE(f.run.IsRunning());
    EXPECT_EQ(f.view.button, "Abort!");
    EXPECT_TRUE(f.timers.IsActive(CONV_TIMER_PROGRESS));
    EXPECT_EQ(f.timers.active[CONV_TIMER_PROGRESS], 20u);
    f.EndOfData();
    f.EndOfData();
    EXPECT_TRUE(f.run.IsRunning());
    f.EndOfData();

    EXPECT_FALSE(f.run.IsRunning());
    EXPECT_EQ(f.OpenedFiles(),
              (std::vector<std::string>{"C:\\logs\\A.qbl", "C:\\logs\\b.log", "C:\\logs\\c.log.bak"}));
    EXPECT_EQ(f.view.Texts(), (std::vector<std::string>{"Converting file 1 of 3...", "Converting file 2 of 3...",
                                                        "Converting file 3 of 3...", "Conversion completed!"}));
    EXPECT_EQ(f.view.Last().colour, CONV_STATUS_GOOD);
    EXPECT_EQ(f.view.button, "Convert");
    EXPECT_EQ(f.view.percent, "100%");
    EXPECT_EQ(f.view.count, "7");
    EXPECT_FALSE(f.timers.IsActive(CONV_TIMER_PROGRESS));
    EXPECT_TRUE(f.view.boxes.empty());
    EXPECT_EQ(f.run.GetExitCode(), CONV_EXIT_ALL_CONVERTED);
    // The choices are kept once, when the run started; the snapshot is taken once.
    ASSERT_EQ(f.view.saved.size(), 1u);
    EXPECT_TRUE(f.view.saved[0].convertAll);
    EXPECT_EQ(f.folder.listCalls, 1);
    // Every file: listening before opening, closed after listening stopped.
    EXPECT_EQ(std::vector<std::string>(f.link.journal.begin(), f.link.journal.begin() + 5),
              (std::vector<std::string>{"begin", "listen", "open C:\\logs\\A.qbl", "stop listening", "close"}));
    EXPECT_EQ(std::count(f.link.journal.begin(), f.link.journal.end(), "begin"), 1);
}

TEST(ConverterRun, FileThatCannotStartIsSkippedAndCounted)
{
    RunFixture f;
    AddWalkFixture(f);
    f.link.scripts["C:\\logs\\b.log"].result = 1;
    f.link.scripts["C:\\logs\\b.log"].error = LINK_ERROR_PLAYBACK;

    f.run.OnConvert(f.options);
    f.EndOfData();
    f.EndOfData();

    EXPECT_FALSE(f.run.IsRunning());
    EXPECT_EQ(f.view.Texts(), (std::vector<std::string>{"Converting file 1 of 3...", "Converting file 3 of 3...",
                                                        "1 of 3 files could not be converted."}));
    EXPECT_EQ(f.view.Last().colour, CONV_STATUS_BAD);
    EXPECT_EQ(f.view.button, "Convert");
    EXPECT_TRUE(f.view.boxes.empty());   // nothing waits for a person inside a folder run
    EXPECT_EQ(f.view.errors,
              std::vector<std::string>{"C:\\logs\\b.log: Specified file does not exist or cannot be opened!"});
    EXPECT_EQ(f.run.GetExitCode(), CONV_EXIT_NOT_ALL_CONVERTED);
}

TEST(ConverterRun, FolderRunWhereNothingStartsStillEnds)
{
    RunFixture f;
    AddWalkFixture(f);
    f.run.SetUnattended(true);
    for (const char* name : {"C:\\logs\\A.qbl", "C:\\logs\\b.log", "C:\\logs\\c.log.bak"}) {
        f.link.scripts[name].result = 1;
        f.link.scripts[name].error = LINK_ERROR_CONVERTER;
        f.link.scripts[name].failedFile = "C:\\logs\\x.kml";
    }
    f.run.OnConvert(f.options);
    EXPECT_FALSE(f.run.IsRunning());
    EXPECT_EQ(f.view.Texts(), std::vector<std::string>{"3 of 3 files could not be converted."});
    EXPECT_EQ(f.view.ends, std::vector<int32_t>{CONV_EXIT_NOT_ALL_CONVERTED});
}

TEST(ConverterRun, WriteFailureInAFolderRunGoesOnToTheNextFile)
{
    RunFixture f;
    AddWalkFixture(f);
    f.link.scripts["C:\\logs\\A.qbl"].failsWriting = true;
    f.link.scripts["C:\\logs\\A.qbl"].failedFile = "C:\\logs\\A.kml";

    f.run.OnConvert(f.options);
    for (int i = 0; i < 3; ++i) f.EndOfData();

    EXPECT_EQ(f.OpenedFiles().size(), 3u);
    EXPECT_EQ(f.view.Last().text, "1 of 3 files could not be converted.");
    EXPECT_EQ(f.view.errors,
              std::vector<std::string>{"C:\\logs\\A.qbl: Conversion failed: could not write C:\\logs\\A.kml"});
}

TEST(ConverterRun, AbortEndsTheFolderRunWithFilesLeftUntouched)
{
    RunFixture f;
    AddWalkFixture(f);
    f.run.OnConvert(f.options);
    f.EndOfData();
    ASSERT_EQ(f.view.Texts().back(), "Converting file 2 of 3...");

    f.run.OnConvert(f.options);   // "Abort!"
    EXPECT_TRUE(f.run.IsAbortPending());
    EXPECT_EQ(f.link.journal.back(), "abort");
    EXPECT_EQ(f.timers.active[CONV_TIMER_ABORT], 250u);
    f.run.OnConvert(f.options);   // a second click while the abort waits
    EXPECT_EQ(f.link.journal.back(), "abort");

    f.run.OnAbortTimer();
    EXPECT_FALSE(f.run.IsRunning());
    EXPECT_FALSE(f.run.IsAbortPending());
    EXPECT_FALSE(f.timers.IsActive(CONV_TIMER_ABORT));
    EXPECT_FALSE(f.timers.IsActive(CONV_TIMER_PROGRESS));
    EXPECT_EQ(f.view.Last().text, "Conversion aborted!");
    EXPECT_EQ(f.view.Last().colour, CONV_STATUS_BAD);
    EXPECT_EQ(f.view.button, "Convert");
    EXPECT_EQ(f.OpenedFiles(), (std::vector<std::string>{"C:\\logs\\A.qbl", "C:\\logs\\b.log"}));
    EXPECT_EQ(f.link.journal.back(), "close");

    // The reader's own end of data while the abort waits finishes it as aborted.
    RunFixture g;
    g.options.inputPath = "run.qbl";
    g.folder.AddFile("run.qbl");
    g.run.OnConvert(g.options);
    g.run.OnConvert(g.options);
    g.EndOfData();
    EXPECT_FALSE(g.timers.IsActive(CONV_TIMER_ABORT));
    EXPECT_EQ(g.view.Last().text, "Conversion aborted!");
    EXPECT_NE(g.view.percent, "100%");
}

TEST(ConverterRun, EndOfDataBeforeTheOpenReturnsStillFinishes)
{
    RunFixture f;
    f.folder.AddFile("short.qbl");
    f.options.inputPath = "short.qbl";
    f.link.scripts["short.qbl"].endsDuringOpen = true;

    f.run.OnConvert(f.options);
    f.Pump();

    EXPECT_FALSE(f.run.IsRunning());
    EXPECT_EQ(f.view.Texts(), (std::vector<std::string>{"Working...", "Conversion completed!"}));
    EXPECT_EQ(f.link.journal[1], "listen");
}

TEST(ConverterRun, SingleFileFailuresSayWhy)
{
    struct Case {
        const char* what;
        int result;
        int32_t error;
        const char* failedFile;
        bool listenWorks;
        const char* message;   // "" none
    } const cases[] = {
        {"recording cannot be opened", 1, LINK_ERROR_PLAYBACK, "", true,
         "Specified file does not exist or cannot be opened!"},
        {"an output cannot be created", 1, LINK_ERROR_CONVERTER, "C:\\out\\run.kml", true,
         "Conversion failed: could not write C:\\out\\run.kml"},
        {"overwrite declined", 2, LINK_ERROR_CONVERTER, "", true, ""},
        {"no reader", 1, LINK_ERROR_READER, "", true, "Failed to initialize the converter!"},
        {"no listening", 0, LINK_ERROR_NONE, "", false, "Failed to register the playback event handler!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool unattended : {false, true}) {
            RunFixture f;
            f.folder.AddFile("run.qbl");
            f.options.inputPath = "run.qbl";
            f.link.listenWorks = c.listenWorks;
            FileScript& script = f.link.scripts["run.qbl"];
            script.result = c.result;
            script.error = c.error;
            script.failedFile = c.failedFile;
            f.run.SetUnattended(unattended);
            f.run.OnConvert(f.options);

            EXPECT_FALSE(f.run.IsRunning());
            EXPECT_EQ(f.view.button, "Convert");
            EXPECT_TRUE(f.view.saved.empty());
            const std::vector<std::string> said = *c.message ? std::vector<std::string>{c.message}
                                                              : std::vector<std::string>{};
            if (unattended) {
                EXPECT_TRUE(f.view.boxes.empty());
                EXPECT_EQ(f.view.errors, said);
                EXPECT_EQ(f.view.Texts(), said);
                EXPECT_EQ(f.view.ends, std::vector<int32_t>{CONV_EXIT_NOT_ALL_CONVERTED});
            } else {
                EXPECT_EQ(f.view.boxes, said);
                EXPECT_TRUE(f.view.Texts().empty());   // the status stays as it was
                EXPECT_TRUE(f.view.ends.empty());
            }
            if (!c.listenWorks) {
                EXPECT_EQ(f.link.journal, (std::vector<std::string>{"begin", "listen"}));
            } else {
                EXPECT_EQ(f.link.journal.back(), "stop listening");
            }
        }
    }
}

TEST(ConverterRun, FailedWriteEndsInRedNamingTheFile)
{
    RunFixture f;
    f.folder.AddFile("run.qbl");
    f.options.inputPath = "run.qbl";
    f.link.scripts["run.qbl"].failsWriting = true;
    f.link.scripts["run.qbl"].failedFile = "run.kml";
    f.run.SetUnattended(true);
    f.run.OnConvert(f.options);
    f.EndOfData();
    EXPECT_EQ(f.view.Last().text, "Conversion failed: could not write run.kml");
    EXPECT_EQ(f.view.Last().colour, CONV_STATUS_BAD);
    EXPECT_EQ(f.view.errors, std::vector<std::string>{"Conversion failed: could not write run.kml"});
    EXPECT_EQ(f.view.ends, std::vector<int32_t>{CONV_EXIT_NOT_ALL_CONVERTED});
}

TEST(ConverterRun, UnattendedRunsEndWithTheirCode)
{
    // Completed.
    RunFixture done;
    done.folder.AddFile("run.qbl");
    done.options.inputPath = "run.qbl";
    done.run.SetUnattended(true);
    done.run.OnConvert(done.options);
    done.EndOfData();
    EXPECT_EQ(done.view.ends, std::vector<int32_t>{CONV_EXIT_ALL_CONVERTED});
    EXPECT_TRUE(done.view.saved.empty());   // an unattended run keeps the user's choices
    EXPECT_EQ(done.view.errors, std::vector<std::string>{"Conversion completed!"});

    // Refused by a check, or a folder without data files: code 2, no box.
    RunFixture refused;
    refused.options.inputPath = "missing.qbl";
    refused.run.SetUnattended(true);
    refused.run.OnConvert(refused.options);
    EXPECT_TRUE(refused.view.boxes.empty());
    EXPECT_EQ(refused.view.Texts(), std::vector<std::string>{"Specified file does not exist or cannot be opened!"});
    EXPECT_EQ(refused.view.ends, std::vector<int32_t>{CONV_EXIT_REFUSED});
    EXPECT_TRUE(refused.link.journal.empty());

    RunFixture empty;
    empty.folder.AddEntry("C:\\logs", "notes.txt");
    empty.options.inputPath = "C:\\logs";
    empty.options.convertAll = true;
    empty.run.SetUnattended(true);
    empty.run.OnConvert(empty.options);
    EXPECT_EQ(empty.view.errors, std::vector<std::string>{"Could not find any valid data files (.log or .qbl)."});
    EXPECT_EQ(empty.view.ends, std::vector<int32_t>{CONV_EXIT_REFUSED});

    // Closed while converting: the run ends aborted.
    RunFixture closed;
    closed.folder.AddFile("run.qbl");
    closed.options.inputPath = "run.qbl";
    closed.run.SetUnattended(true);
    closed.run.OnConvert(closed.options);
    closed.run.OnClose();
    EXPECT_FALSE(closed.run.IsRunning());
    EXPECT_EQ(closed.view.Last().text, "Conversion aborted!");
    EXPECT_EQ(closed.view.ends, std::vector<int32_t>{CONV_EXIT_NOT_ALL_CONVERTED});
    EXPECT_EQ(closed.link.journal.back(), "close");
}

TEST(ConverterRun, ProgressShowsCountPercentageAndScaledBar)
{
    RunFixture f;
    f.folder.AddFile("big.qbl");
    f.options.inputPath = "big.qbl";
    f.link.scripts["big.qbl"].size = 40000000;
    f.link.scripts["big.qbl"].records = 1234;
    f.run.OnConvert(f.options);
    EXPECT_LE(f.view.range, 0xFFFF);
    EXPECT_GT(f.view.range, 0x7FFF);

    f.link.position = 30000000;
    f.run.OnProgressTimer();
    EXPECT_EQ(f.view.percent, "75%");
    EXPECT_EQ(f.view.count, "1234");
    EXPECT_NEAR(f.view.bar * 4, f.view.range * 3, 4);   // three quarters of the bar
}

TEST(ConverterProgress, PercentageNeverOverflows)
{
    struct Case {
        int64_t position, size;
        const char* text;
    } const cases[] = {
        {30000000, 40000000, "75%"},   {0, 0, "0%"},  {5, 0, "0%"}, {2147483647, 2147483648LL, "99%"},
        {4294967295LL, 4294967295LL, "100%"}, {1, 3, "33%"}, {-1, 10, "0%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(FormatConversionPercent(c.position, c.size).GetString()), c.text) << c.position;

    for (int64_t size : {int64_t(0), int64_t(1000), int64_t(65535), int64_t(65536), int64_t(4294967295LL)}) {
        const int32_t shift = GetProgressShift(size);
        EXPECT_LE(ScaleProgress(size, shift), 0xFFFF) << size;
        EXPECT_GE(ScaleProgress(size, shift), 0x7FFF < size ? 0x7FFF : size) << size;
    }
}

// ---- Profile and command line ---------------------------------------------------------------

std::vector<std::string> Entries(const char* const* names, size_t count)
{
    std::vector<std::string> keys;
    for (size_t i = 0; i < count; ++i) keys.push_back(std::string("Monitor\\Converter\\") + names[i]);
    return keys;
}

TEST(ConverterProfile, DefaultsStoredValuesAndWriteOrders)
{
    // An empty profile gives the defaults.
    MemoryMainWndProfile empty;
    ConverterOptions d;
    LoadConverterOptions(empty, d);
    EXPECT_EQ(std::string(d.inputPath.GetString()), "");
    EXPECT_FALSE(d.overwrite || d.convertAll || d.rangeOn || d.mapCsv || d.textTranslation || d.packetId ||
                 d.blankLine || d.spreadsheet || d.spreadsheetSplit || d.fill1Hz || d.kml || d.nmeaGga);
    EXPECT_TRUE(d.dmPrefix && d.translationHeader && d.rawData && d.na);
    EXPECT_EQ(d.startTimeOfWeek, -1);
    EXPECT_EQ(d.startWeek, -1);
    EXPECT_EQ(d.endTimeOfWeek, -1);
    EXPECT_EQ(d.endWeek, -1);
    EXPECT_EQ(d.linesPerPart, 32000);
    EXPECT_EQ(d.fieldSep, 0);
    EXPECT_EQ(d.kmlDotColour, 255u);

    // Stored values: any non-zero flag is on; a separator code out of range is a tab.
    MemoryMainWndProfile stored;
    const char* s = kConverterSection;
    stored.WriteProfileString(s, "file", "C:\\logs\\run.qbl");
    stored.WriteProfileInt(s, "kml", 7);
    stored.WriteProfileInt(s, "prependDM", 0);
    stored.WriteProfileInt(s, "startWn", 1400);
    stored.WriteProfileInt(s, "numLines", 100);
    stored.WriteProfileInt(s, "fieldSep", 5);
    stored.WriteProfileInt(s, "kmlBulletClr", static_cast<int32_t>(0xFF000000u));
    stored.WriteProfileString(s, "blankPktSubcode", "20");
    ConverterOptions o;
    LoadConverterOptions(stored, o);
    EXPECT_EQ(std::string(o.inputPath.GetString()), "C:\\logs\\run.qbl");
    EXPECT_TRUE(o.kml);
    EXPECT_FALSE(o.dmPrefix);
    EXPECT_EQ(o.startWeek, 1400);
    EXPECT_EQ(o.linesPerPart, 100);
    EXPECT_EQ(o.fieldSep, 0);
    EXPECT_EQ(o.kmlDotColour, 0xFF000000u);
    EXPECT_EQ(std::string(o.blankLineSubcode.GetString()), "20");

    // What a start keeps, and what the options dialog keeps, each in its order.
    static const char* const kChoices[] = {"file", "convertAll", "csv", "txt", "xlx", "kml", "nmea", "kmlBulletClr"};
    static const char* const kDialog[] = {"pktIDs",   "blankLine", "blankPktID",   "blankPktSubcode", "prependDM",
                                          "addHdr",   "overwrite", "badparses",    "splitLines",      "fieldSep",
                                          "numLines", "fill1Hz",   "na",           "processRange",    "startTow",
                                          "startWn",  "endTow",    "endWn"};
    MemoryMainWndProfile choices;
    SaveConverterChoices(choices, o);
    EXPECT_EQ(choices.GetWrites(), Entries(kChoices, sizeof kChoices / sizeof kChoices[0]));
    MemoryMainWndProfile dialog;
    SaveConverterDialogOptions(dialog, o);
    EXPECT_EQ(dialog.GetWrites(), Entries(kDialog, sizeof kDialog / sizeof kDialog[0]));

    // Written and read back, every value survives.
    ConverterOptions back;
    MemoryMainWndProfile both;
    SaveConverterChoices(both, o);
    SaveConverterDialogOptions(both, o);
    LoadConverterOptions(both, back);
    EXPECT_EQ(std::string(back.inputPath.GetString()), "C:\\logs\\run.qbl");
    EXPECT_EQ(back.kml, o.kml);
    EXPECT_EQ(back.dmPrefix, o.dmPrefix);
    EXPECT_EQ(back.startWeek, 1400);
    EXPECT_EQ(back.linesPerPart, 100);
    EXPECT_EQ(back.kmlDotColour, 0xFF000000u);
    EXPECT_EQ(std::string(back.blankLineSubcode.GetString()), "20");
}

TEST(ConverterCommandLine, GivenValuesReplaceTheRecords)
{
    ConverterOptions record;
    record.mapCsv = true;
    record.rangeOn = true;
    record.fill1Hz = true;
    record.spreadsheetSplit = true;
    record.linesPerPart = 500;
    record.overwrite = false;

    ConverterOptions given;
    given.inputPath = "C:\\logs";
    given.convertAll = true;
    given.kml = true;
    given.nmeaGga = true;
    given.overwrite = true;
    ApplyConverterCommandLine(given, record);
    EXPECT_EQ(std::string(record.inputPath.GetString()), "C:\\logs");
    EXPECT_TRUE(record.convertAll && record.kml && record.nmeaGga && record.overwrite);
    EXPECT_FALSE(record.mapCsv || record.spreadsheet || record.textTranslation);
    // Not asked for: the record's own values stay.
    EXPECT_TRUE(record.rangeOn && record.fill1Hz && record.spreadsheetSplit);
    EXPECT_EQ(record.linesPerPart, 500);

    given.spreadsheetSplit = true;
    given.linesPerPart = 100;
    ApplyConverterCommandLine(given, record);
    EXPECT_EQ(record.linesPerPart, 100);
}

}  // namespace
