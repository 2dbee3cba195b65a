// Throughput of a whole data conversion on one thread: the recording through
// the frame handler, the decoders and the model into the converter engine and
// its writers, with the text translation, map CSV, KML and GGA outputs on,
// written to files in a temporary folder. Two recordings of 50 MB or more:
// the real receiver logs repeated (skipped without the corpus) and a QBIN
// recording rxsim writes for the run. The bytes reach the frame handler in
// whole read blocks, as the conversion's reader hands them over. Each figure
// is printed beside a plain memcpy of the same buffer timed in the same run,
// with the ratio, so runs on different machines compare. A third benchmark
// converts a 10 MB and a 100 MB recording from their files in fresh processes
// and prints the peak resident memory of each: it must not grow with the
// recording. Reported, never asserted; the target is 300 MB/s.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "support/ConversionPipeline.h"

namespace {

using bench::Bytes;

const size_t kStreamBytes = 50u * 1000u * 1000u;
const size_t kSmallRssBytes = 10u * 1000u * 1000u;
const size_t kLargeRssBytes = 100u * 1000u * 1000u;
const double kBytesPerMegabyte = 1e6;
const double kKilobytesPerMegabyte = 1024.0;
const char kChildSwitch[] = "--convert-file=";
const char kRecordingName[] = "recording.qbl";

// A folder of its own for the run's recordings and outputs, removed after.
class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/convert_bench.XXXXXX";
        if (mkdtemp(pattern) != nullptr) m_path = pattern;
    }
    ~TempFolder()
    {
        if (!m_path.empty()) std::system(("rm -rf '" + m_path + "'").c_str());
    }
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

TempFolder& Folder()
{
    static TempFolder folder;
    return folder;
}

ConverterOptions BenchOptions(const std::string& inputPath)
{
    ConverterOptions options;
    options.inputPath = inputPath.c_str();
    options.overwrite = true;
    options.textTranslation = true;
    options.mapCsv = true;
    options.kml = true;
    options.nmeaGga = true;
    return options;
}

// `once` repeated until the stream holds at least `size` bytes.
Bytes Repeated(const Bytes& once, size_t size)
{
    Bytes stream;
    if (once.empty()) return stream;
    stream.reserve(size + once.size());
    while (stream.size() < size) stream.insert(stream.end(), once.begin(), once.end());
    return stream;
}

// The real logs as stored, one after the other, repeated to 50 MB.
const Bytes& CorpusStream()
{
    static const Bytes stream = [] {
        Bytes once;
        for (const std::string& path : bench::CorpusLogFiles()) {
            const Bytes log = bench::ReadWholeFile(path);
            once.insert(once.end(), log.begin(), log.end());
        }
        return Repeated(once, kStreamBytes);
    }();
    return stream;
}

// A QBIN receiver's recording of `bytes` bytes or more, written by rxsim.
Bytes GenerateRecording(size_t bytes)
{
    const std::string out = Folder().File("rxsim.qbl");
    const std::string command = std::string("'") + RXSIM_PROGRAM + "' --generate qbin-drive-1 --bytes " +
                                std::to_string(bytes) + " --out '" + out + "' >/dev/null";
    if (std::system(command.c_str()) != 0) return Bytes();
    Bytes recording = bench::ReadWholeFile(out);
    std::remove(out.c_str());
    return recording;
}

const Bytes& RxsimStream()
{
    static const Bytes stream = GenerateRecording(kStreamBytes);
    return stream;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One conversion of the whole buffer; its seconds.
double ConvertOnce(const Bytes& bytes, const std::string& inputPath, int32_t& records)
{
    const auto start = std::chrono::steady_clock::now();
    convsupport::ConversionPipeline pipeline(convsupport::FEED_AS_READER);
    if (pipeline.Open(BenchOptions(inputPath)) != 0) return -1.0;
    pipeline.Feed(bytes.data(), bytes.size());
    records = pipeline.GetEngine().GetRecordCount();
    pipeline.End();
    return SecondsSince(start);
}

// Each pass converts the stream as the conversion's reader hands it to the
// frame handler, then copies it.
void ConvertStream(benchmark::State& state, const Bytes& stream, const char* missing)
{
    if (stream.empty()) {
        state.SkipWithError(missing);
        return;
    }
    const std::string input = Folder().File(kRecordingName);
    Bytes copy(stream.size());
    double readerSeconds = 0;
    double copySeconds = 0;
    int32_t records = 0;
    for (auto _ : state) {
        const double reader = ConvertOnce(stream, input, records);
        if (reader < 0) {
            state.SkipWithError("the outputs could not be created");
            return;
        }
        readerSeconds += reader;

        const auto start = std::chrono::steady_clock::now();
        std::memcpy(copy.data(), stream.data(), stream.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
        copySeconds += SecondsSince(start);
    }
    const double megabytes = static_cast<double>(state.iterations()) * static_cast<double>(stream.size()) /
                             kBytesPerMegabyte;
    const double readerRate = megabytes / readerSeconds;
    const double copyRate = megabytes / copySeconds;
    state.counters["stream_MB"] = static_cast<double>(stream.size()) / kBytesPerMegabyte;
    state.counters["convert_MB/s"] = readerRate;
    state.counters["memcpy_MB/s"] = copyRate;
    state.counters["convert/memcpy"] = readerRate / copyRate;
    state.counters["records"] = records;
}

void ConvertRealLogs(benchmark::State& state)
{
    ConvertStream(state, CorpusStream(), "no corpus at " CORPUS_DIR ": nothing to convert");
}

void ConvertRxsimRecording(benchmark::State& state)
{
    ConvertStream(state, RxsimStream(), "rxsim wrote no recording");
}

// ---- Peak memory ---------------------------------------------------------------------

// This process's peak resident kilobytes (VmHWM); -1 when unknown.
long PeakResidentKilobytes()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return -1;
    char line[256];
    long kilobytes = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1) break;
    }
    std::fclose(status);
    return kilobytes;
}

// The child's work: the file read in blocks, as a conversion's reader reads
// it, with its outputs beside it; then its peak memory on standard output.
int ConvertFile(const std::string& path)
{
    FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return 1;
    bool completed = false;
    {
        convsupport::ConversionPipeline pipeline;
        if (pipeline.Open(BenchOptions(path)) == 0) {
            std::vector<uint8_t> block(convsupport::kReadBlock);
            size_t n = 0;
            while ((n = std::fread(block.data(), 1, block.size(), in)) > 0) pipeline.Feed(block.data(), n);
            completed = pipeline.End();
        }
    }
    std::fclose(in);
    std::printf("%ld\n", PeakResidentKilobytes());
    return completed ? 0 : 1;
}

// Peak resident megabytes of a fresh process (its own memory from its start,
// none of this one's) converting `size` bytes of the recording from a file;
// negative when it failed.
double PeakRssConverting(const Bytes& recording, size_t size)
{
    const std::string path = Folder().File("rss_" + std::to_string(size) + ".qbl");
    {
        FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr) return -1;
        for (size_t written = 0; written < size;) {
            const size_t n = std::min(recording.size(), size - written);
            std::fwrite(recording.data(), 1, n, out);
            written += n;
        }
        std::fclose(out);
    }
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return -1;
    self[length] = '\0';
    const std::string command = std::string("'") + self + "' " + kChildSwitch + "'" + path + "'";
    FILE* child = popen(command.c_str(), "r");
    if (child == nullptr) return -1;
    long kilobytes = -1;
    if (std::fscanf(child, "%ld", &kilobytes) != 1) kilobytes = -1;
    const int status = pclose(child);
    std::system(("rm -f '" + Folder().Path() + "'/rss_*").c_str());
    if (status != 0 || kilobytes < 0) return -1;
    return static_cast<double>(kilobytes) / kKilobytesPerMegabyte;
}

void PeakMemoryOfAConversion(benchmark::State& state)
{
    const Bytes& recording = RxsimStream();
    if (recording.empty()) {
        state.SkipWithError("rxsim wrote no recording");
        return;
    }
    double small = 0, large = 0;
    for (auto _ : state) {
        small = PeakRssConverting(recording, kSmallRssBytes);
        large = PeakRssConverting(recording, kLargeRssBytes);
    }
    if (small < 0 || large < 0) {
        state.SkipWithError("a conversion in a child process failed");
        return;
    }
    state.counters["peak_RSS_MB@10MB"] = small;
    state.counters["peak_RSS_MB@100MB"] = large;
    state.counters["growth_MB"] = large - small;
}

}  // namespace

// Wall time: the memcpy beside each conversion is timed the same way.
BENCHMARK(ConvertRealLogs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(ConvertRxsimRecording)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(PeakMemoryOfAConversion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The benchmark's own main: started with --convert-file=PATH it is the child
// whose peak memory the last benchmark measures.
int main(int argc, char** argv)
{
    if (argc == 2 && std::strncmp(argv[1], kChildSwitch, std::strlen(kChildSwitch)) == 0)
        return ConvertFile(argv[1] + std::strlen(kChildSwitch));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
