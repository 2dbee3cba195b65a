#pragma once
// A conversion's engine over a file system in memory, for tests of whatever
// writes through the engine: the recording and every output live in a
// MemoryFileBackend installed for the rig's lifetime, and an output is read
// back as the engine has written it so far (its temporary while the run
// goes on, its final file once it has finished).
#include <string>

#include "framework/CFile.h"
#include "framework/MemoryFileBackend.h"
#include "link/CConverterEngine.h"

class CModel;

class ConverterTestRig {
public:
    explicit ConverterTestRig(const char* inputPath = "C:\\logs\\run.qbl")
    {
        CFile::SetBackend(&files);
        files.SetFile(inputPath, "");
        options.inputPath = inputPath;
        // A test that opens again finds its own earlier outputs: no question.
        options.overwrite = true;
    }
    ~ConverterTestRig()
    {
        engine.Finish();
        CFile::SetBackend(nullptr);
    }
    ConverterTestRig(const ConverterTestRig&) = delete;
    ConverterTestRig& operator=(const ConverterTestRig&) = delete;

    int Open(CModel* model) { return engine.Open(options, model); }
    // The text translation alone, without the heading lines, so a test sees
    // only what the code under test wrote.
    int OpenTranslation(CModel* model)
    {
        options.textTranslation = true;
        options.translationHeader = false;
        return Open(model);
    }

    std::string Output(ConverterOutput output)
    {
        engine.FlushOutputs();
        const std::string name = engine.GetOutputName(output).GetString();
        std::string text;
        if (files.GetFile(name + ".part", &text)) return text;
        return files.GetFileText(name);
    }
    std::string Translation() { return Output(CONVERTER_TEXT); }
    std::string CrcLog() { return Output(CONVERTER_CRC_LOG); }
    std::string RawCopy() { return Output(CONVERTER_RAW_COPY); }

    MemoryFileBackend files;   // outlives the engine
    ConverterOptions options;
    CConverterEngine engine;
};
