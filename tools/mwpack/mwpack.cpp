// mwpack: turns a product into a distribution for the setup program (one
// LZHUF stream split into disk parts, the file directory appended to a copy
// of setup.exe), and lists and verifies such distributions.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define MW_ISATTY _isatty
#define MW_FILENO _fileno
#else
#include <unistd.h>
#define MW_ISATTY isatty
#define MW_FILENO fileno
#endif

#include "archive/file_directory.h"
#include "archive/lzhuf.h"
#include "archive/lzhuf_encoder.h"
#include "setup/install_running.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

const char* const kPartBase = "Marwindl";      // parts Marwindl.001 .. Marwindl.004
const char* const kSetupName = "setup.exe";
const char* const kDefaultMain = "Marwindl.Exe";
const int kMaxDisks = 4;
const int kDefaultDisks = 2;                   // the setup program's DiskCount
const std::uint64_t kMaxStream = 0x7FFFFFFF;   // sizes are signed 32-bit in the trailer

const char* const kUsage =
    "usage:\n"
    "  mwpack compress IN OUT             pack IN into a headerless LZHUF stream\n"
    "  mwpack decompress IN OUT COUNT     unpack COUNT bytes of a headerless stream\n"
    "  mwpack build --stub SETUP.EXE --main PROGRAM --out DIR\n"
    "               [--disks N] [--disk-size BYTES] [--flat] FILE...\n"
    "                                     make a distribution: DIR/disk1/setup.exe and\n"
    "                                     one part Marwindl.00k per DIR/diskk (N parts,\n"
    "                                     default 2, at most 4); --flat puts everything\n"
    "                                     in DIR; --disk-size makes every disk fit,\n"
    "                                     setup.exe included\n"
    "  mwpack list SETUP.EXE              show the file directory at the end of SETUP.EXE\n"
    "  mwpack verify DIR [--against FOLDER] [--main NAME]\n"
    "                                     join and decode a distribution, check its\n"
    "                                     directory, and compare every file with FOLDER\n"
    "                                     (the main program as NAME, default Marwindl.Exe)\n"
    "exit codes: 0 done, 1 failed, 2 wrong call\n";

// A failure that ends the command with its message; code 2 for a wrong call.
struct Failure {
  int code;
  std::string message;
};

[[noreturn]] void Fail(const std::string& message) { throw Failure{1, message}; }
[[noreturn]] void Usage(const std::string& message) { throw Failure{2, message}; }

bool ProgressWanted() { return MW_ISATTY(MW_FILENO(stderr)) != 0; }

class Progress {
public:
  explicit Progress(const char* what) : what_(what), on_(ProgressWanted()) {}
  ~Progress() {
    if (on_ && shown_) std::fprintf(stderr, "\r%-40s\r", "");
  }
  void Show(std::uint64_t done, std::uint64_t total) {
    if (!on_ || total == 0) return;
    int percent = static_cast<int>(done * 100 / total);
    if (percent == last_) return;
    last_ = percent;
    shown_ = true;
    std::fprintf(stderr, "\r%s %3d%%", what_, percent);
    std::fflush(stderr);
  }

private:
  const char* what_;
  bool on_;
  bool shown_ = false;
  int last_ = -1;
};

std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

Bytes ReadWhole(const fs::path& path, const char* role) {
  std::FILE* f = std::fopen(path.string().c_str(), "rb");
  if (!f) Fail("cannot open " + std::string(role) + " " + Quote(path) + ": " + std::strerror(errno));
  Bytes data;
  unsigned char block[65536];
  std::size_t n;
  while ((n = std::fread(block, 1, sizeof block, f)) > 0) data.insert(data.end(), block, block + n);
  bool bad = std::ferror(f) != 0;
  std::fclose(f);
  if (bad) Fail("cannot read " + std::string(role) + " " + Quote(path));
  return data;
}

void WriteWhole(const fs::path& path, const Bytes& a, const Bytes& b = Bytes()) {
  std::FILE* f = std::fopen(path.string().c_str(), "wb");
  if (!f) Fail("cannot create " + Quote(path) + ": " + std::strerror(errno));
  bool ok = (a.empty() || std::fwrite(a.data(), 1, a.size(), f) == a.size()) &&
            (b.empty() || std::fwrite(b.data(), 1, b.size(), f) == b.size());
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) Fail("cannot write " + Quote(path) + " (disk full?)");
}

bool IsFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// A whole decimal number in [min, max], or a wrong call naming the option.
std::uint64_t ParseNumber(const std::string& text, const std::string& what, std::uint64_t min, std::uint64_t max) {
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos) {
    Usage(what + " must be a whole number, not '" + text + "'");
  }
  std::uint64_t value = std::strtoull(text.c_str(), nullptr, 10);
  if (value < min || value > max) {
    Usage(what + " must be from " + std::to_string(min) + " to " + std::to_string(max) + ", not " + text);
  }
  return value;
}

std::string PartName(int disk) {
  char name[32];
  std::snprintf(name, sizeof name, "%s.%03d", kPartBase, disk);
  return name;
}

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// ---- decoding through the setup program's own decoder ----

struct DecodeState {
  const Bytes* input = nullptr;
  std::size_t pos = 0;
  std::size_t readsPastEnd = 0;
  Bytes* output = nullptr;
  Progress* progress = nullptr;
  std::uint64_t total = 0;
};
DecodeState g_decode;

void DecodeRead(void* buffer, std::uint16_t, std::uint16_t& actual) {
  if (g_decode.pos < g_decode.input->size()) {
    *static_cast<unsigned char*>(buffer) = (*g_decode.input)[g_decode.pos++];
    actual = 1;
  } else {
    g_decode.readsPastEnd++;
    actual = 0;
  }
}

void DecodeWrite(void* buffer, std::uint16_t, std::uint16_t& actual) {
  g_decode.output->push_back(*static_cast<unsigned char*>(buffer));
  actual = 1;
  if (g_decode.progress && (g_decode.output->size() & 0xFFFF) == 0) {
    g_decode.progress->Show(g_decode.output->size(), g_decode.total);
  }
}

// Decodes exactly count bytes. The decoder reads a few bytes ahead of what
// it decodes, so reads past the end are normal; but a complete stream holds
// every bit the decoder takes, and a bit taken from beyond its end (one of
// the zero bits that stand in for missing bytes) means it was cut short.
Bytes Decode(const Bytes& stream, std::int32_t count, const std::string& what) {
  Bytes out;
  out.reserve(static_cast<std::size_t>(count) + lzh::F);
  Progress progress("decoding");
  g_decode = DecodeState();
  g_decode.input = &stream;
  g_decode.output = &out;
  g_decode.progress = &progress;
  g_decode.total = static_cast<std::uint64_t>(count);
  InstallRunning = 1;
  try {
    LzhUnpack(count, DecodeRead, DecodeWrite);
  } catch (const ElzhException& e) {
    Fail(what + ": " + e.what());
  }
  if (g_decode.readsPastEnd * 8 > LzhUnusedBits()) {
    Fail(what + " ends too early: " + std::to_string(stream.size()) + " bytes are not enough for " +
         std::to_string(count) + " unpacked bytes (a part is missing or cut short)");
  }
  out.resize(static_cast<std::size_t>(count));
  return out;
}

void PackProgress(std::size_t done, std::size_t total, void* context) {
  static_cast<Progress*>(context)->Show(done, total);
}

Bytes Encode(const Bytes& data) {
  Progress progress("compressing");
  return LzhPack(data.data(), data.size(), PackProgress, &progress);
}

// ---- commands ----

int Compress(const std::vector<std::string>& args) {
  if (args.size() != 2) Usage("compress takes IN and OUT");
  Bytes data = ReadWhole(args[0], "input");
  if (data.size() > kMaxStream) Fail(Quote(args[0]) + " is larger than 2 GB - 1, the most a stream can hold");
  Bytes stream = Encode(data);
  WriteWhole(args[1], stream);
  std::printf("%s: %zu bytes -> %zu bytes\n", args[1].c_str(), data.size(), stream.size());
  return 0;
}

int Decompress(const std::vector<std::string>& args) {
  if (args.size() != 3) Usage("decompress takes IN, OUT and COUNT");
  std::int32_t count = static_cast<std::int32_t>(ParseNumber(args[2], "COUNT", 0, kMaxStream));
  Bytes stream = ReadWhole(args[0], "input");
  Bytes out = Decode(stream, count, Quote(args[0]));
  WriteWhole(args[1], out);
  std::printf("%s: %zu bytes -> %zu bytes\n", args[1].c_str(), stream.size(), out.size());
  return 0;
}

void PutInt32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; i++) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

struct Planned {
  std::string name;
  std::uint64_t offset;
  std::uint64_t size;
};

int Build(const std::vector<std::string>& args) {
  std::string stub, mainProgram, outDir;
  int disks = kDefaultDisks;
  std::uint64_t diskSize = 0;
  bool flat = false;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); i++) {
    const std::string& a = args[i];
    auto value = [&](const char* option) -> std::string {
      if (i + 1 >= args.size()) Usage(std::string(option) + " needs a value");
      return args[++i];
    };
    if (a == "--stub") {
      stub = value("--stub");
    } else if (a == "--main") {
      mainProgram = value("--main");
    } else if (a == "--out") {
      outDir = value("--out");
    } else if (a == "--disks") {
      disks = static_cast<int>(ParseNumber(value("--disks"), "--disks", 1, kMaxDisks));
    } else if (a == "--disk-size") {
      diskSize = ParseNumber(value("--disk-size"), "--disk-size", 1, UINT64_C(1) << 40);
    } else if (a == "--flat") {
      flat = true;
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      Usage("unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  if (stub.empty()) Usage("build needs --stub SETUP.EXE");
  if (mainProgram.empty()) Usage("build needs --main PROGRAM");
  if (outDir.empty()) Usage("build needs --out DIR");

  // Everything about the names and sizes is checked before anything is
  // written, so a refused build leaves no half-made distribution.
  if (files.size() > kMaxDirectoryEntries) {
    Fail(std::to_string(files.size()) + " files given; the directory holds at most 255");
  }
  std::vector<Planned> plan;
  std::uint64_t total = 0;
  std::vector<std::string> seen;
  auto sizeOf = [](const std::string& path, const char* role) -> std::uint64_t {
    if (!IsFile(path)) Fail("cannot open " + std::string(role) + " " + Quote(path) + ": no such file");
    std::error_code ec;
    std::uint64_t size = fs::file_size(path, ec);
    if (ec) Fail("cannot read " + std::string(role) + " " + Quote(path) + ": " + ec.message());
    return size;
  };
  total = sizeOf(mainProgram, "main program");
  sizeOf(stub, "stub");
  for (const std::string& file : files) {
    std::string name = fs::path(file).filename().string();
    std::string problem = CheckEntryName(name);
    if (!problem.empty()) Fail("cannot store " + Quote(file) + " as '" + name + "': " + problem);
    for (const std::string& other : seen) {
      // Windows does not tell names apart by case.
      if (Lower(other) == Lower(name)) Fail("two files would be installed as '" + name + "' ('" + other + "')");
    }
    seen.push_back(name);
    std::uint64_t size = sizeOf(file, "file");
    plan.push_back({name, total, size});
    total += size;
    if (total > kMaxStream) {
      Fail("the product is larger than 2 GB - 1 bytes (at " + Quote(file) +
           "); offsets and sizes are signed 32-bit numbers");
    }
  }
  if (total > kMaxStream) Fail("the main program is larger than 2 GB - 1 bytes");

  Bytes payload = ReadWhole(mainProgram, "main program");
  for (std::size_t i = 0; i < files.size(); i++) {
    Bytes data = ReadWhole(files[i], "file");
    if (data.size() != plan[i].size) Fail(Quote(files[i]) + " changed while it was read");
    payload.insert(payload.end(), data.begin(), data.end());
  }
  Bytes stream = Encode(payload);

  Bytes trailer;
  for (const Planned& p : plan) {
    trailer.push_back(static_cast<unsigned char>(p.name.size()));
    std::string field = p.name;
    field.resize(kMaxNameLength, '\0');
    trailer.insert(trailer.end(), field.begin(), field.end());
    PutInt32(trailer, static_cast<std::uint32_t>(p.offset));
    PutInt32(trailer, static_cast<std::uint32_t>(p.size));
  }
  trailer.push_back(static_cast<unsigned char>(plan.size()));
  PutInt32(trailer, static_cast<std::uint32_t>(total));
  Bytes stubBytes = ReadWhole(stub, "stub");
  const std::uint64_t setupSize = stubBytes.size() + trailer.size();

  // Part sizes: even shares, or with a disk size as much as fits on each
  // disk in turn (the first shares its disk with setup.exe).
  std::vector<std::uint64_t> parts(static_cast<std::size_t>(disks), 0);
  std::uint64_t left = stream.size();
  if (diskSize) {
    if (setupSize > diskSize) {
      Fail("setup.exe alone (" + std::to_string(setupSize) + " bytes) does not fit on a disk of " +
           std::to_string(diskSize) + " bytes");
    }
    for (int d = 0; d < disks; d++) {
      std::uint64_t room = d == 0 ? diskSize - setupSize : diskSize;
      parts[static_cast<std::size_t>(d)] = std::min(room, left);
      left -= parts[static_cast<std::size_t>(d)];
    }
    if (left) {
      std::uint64_t capacity = diskSize * static_cast<std::uint64_t>(disks) - setupSize;
      Fail(std::to_string(disks) + " disks of " + std::to_string(diskSize) + " bytes cannot hold setup.exe (" +
           std::to_string(setupSize) + " bytes) and the archive (" + std::to_string(stream.size()) +
           " bytes): " + std::to_string(left) + " bytes more than the " + std::to_string(capacity) +
           " bytes of room");
    }
  } else {
    for (int d = 0; d < disks; d++) {
      std::uint64_t share = (left + static_cast<std::uint64_t>(disks - d) - 1) / static_cast<std::uint64_t>(disks - d);
      parts[static_cast<std::size_t>(d)] = share;
      left -= share;
    }
  }

  fs::path out(outDir);
  auto diskFolder = [&](int disk) { return flat ? out : out / ("disk" + std::to_string(disk)); };
  std::error_code ec;
  for (int d = 1; d <= disks; d++) {
    fs::create_directories(diskFolder(d), ec);
    if (ec) Fail("cannot create " + Quote(diskFolder(d)) + ": " + ec.message());
  }
  WriteWhole(diskFolder(1) / kSetupName, stubBytes, trailer);
  std::printf("%s: %llu bytes (%zu files in the directory)\n", (diskFolder(1) / kSetupName).string().c_str(),
              static_cast<unsigned long long>(setupSize), plan.size());
  std::uint64_t at = 0;
  for (int d = 1; d <= disks; d++) {
    std::uint64_t size = parts[static_cast<std::size_t>(d - 1)];
    Bytes part(stream.begin() + static_cast<std::ptrdiff_t>(at), stream.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
    fs::path path = diskFolder(d) / PartName(d);
    WriteWhole(path, part);
    std::printf("%s: %llu bytes\n", path.string().c_str(), static_cast<unsigned long long>(size));
  }
  // A part left from an earlier build with more disks would be joined by
  // nothing, but verify and people would take it for part of this one.
  for (int d = disks + 1; d <= kMaxDisks; d++) {
    fs::path stale = (flat ? out : out / ("disk" + std::to_string(d))) / PartName(d);
    if (IsFile(stale) && fs::remove(stale, ec)) std::printf("%s: removed (left from an earlier build)\n", stale.string().c_str());
  }
  std::printf("product: %llu bytes, archive: %zu bytes on %d disk%s\n", static_cast<unsigned long long>(total),
              stream.size(), disks, disks == 1 ? "" : "s");
  return 0;
}

// The tail that holds the directory, and the file's length.
TrailerCheck LoadTrailer(const fs::path& path, FileDirectoryRecord& directory) {
  Bytes data = ReadWhole(path, "setup program");
  return ParseTrailer(data.data(), data.size(), directory);
}

struct Invariants {
  bool contiguous = true;
  std::string gap;  // the first place where it is not
  bool endsAtTotal = true;
};

Invariants CheckInvariants(const FileDirectoryRecord& directory) {
  Invariants inv;
  const DirectoryEntry* previous = nullptr;
  for (const DirectoryEntry* e = directory.First; e; e = e->Next) {
    if (previous && static_cast<std::int64_t>(previous->Offset) + previous->Size != e->Offset && inv.contiguous) {
      inv.contiguous = false;
      inv.gap = "'" + EntryName(*e) + "' starts at " + std::to_string(e->Offset) + ", '" + EntryName(*previous) +
                "' ends at " + std::to_string(static_cast<std::int64_t>(previous->Offset) + previous->Size);
    }
    previous = e;
  }
  if (previous) inv.endsAtTotal = static_cast<std::int64_t>(previous->Offset) + previous->Size == directory.UnpackedSize;
  return inv;
}

int List(const std::vector<std::string>& args) {
  if (args.size() != 1) Usage("list takes SETUP.EXE");
  FileDirectoryRecord directory = {nullptr, nullptr, 0};
  TrailerCheck check = LoadTrailer(args[0], directory);
  if (!check.Valid) Fail(Quote(args[0]) + ": " + check.Reason);
  std::printf("%-4s %-19s %11s %11s\n", "#", "name", "offset", "size");
  int index = 0;
  for (const DirectoryEntry* e = directory.First; e; e = e->Next) {
    std::printf("%-4d %-19s %11d %11d\n", ++index, EntryName(*e).c_str(), e->Offset, e->Size);
  }
  std::printf("files: %d\nunpacked size: %d\n", index, directory.UnpackedSize);
  if (directory.First) {
    Invariants inv = CheckInvariants(directory);
    std::printf("main program length (first offset): %d\n", directory.First->Offset);
    std::printf("files back to back: %s\n", inv.contiguous ? "yes" : ("no, " + inv.gap).c_str());
    std::printf("last file ends at the unpacked size: %s\n", inv.endsAtTotal ? "yes" : "no");
  } else {
    std::printf("main program length: %d (no other files)\n", directory.UnpackedSize);
  }
  ReleaseFileDirectory(directory);
  return 0;
}

// The file of that name in folder: exact first, then ignoring case as
// Windows would.
fs::path FindIn(const fs::path& folder, const std::string& name) {
  if (IsFile(folder / name)) return folder / name;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec) && Lower(entry.path().filename().string()) == Lower(name)) return entry.path();
  }
  return fs::path();
}

std::string FirstDifference(const Bytes& a, const unsigned char* b, std::size_t bSize) {
  std::size_t n = std::min(a.size(), bSize);
  for (std::size_t i = 0; i < n; i++) {
    if (a[i] != b[i]) return "differs at byte " + std::to_string(i);
  }
  if (a.size() != bSize) return "is " + std::to_string(bSize) + " bytes, the original " + std::to_string(a.size());
  return std::string();
}

int Verify(const std::vector<std::string>& args) {
  std::string dir, against, mainName = kDefaultMain;
  for (std::size_t i = 0; i < args.size(); i++) {
    if (args[i] == "--against" || args[i] == "--main") {
      if (i + 1 >= args.size()) Usage(args[i] + " needs a value");
      (args[i] == "--against" ? against : mainName) = args[i + 1];
      i++;
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      Usage("unknown option " + args[i]);
    } else if (dir.empty()) {
      dir = args[i];
    } else {
      Usage("verify takes one DIR");
    }
  }
  if (dir.empty()) Usage("verify needs DIR");

  // Flat (DIR/setup.exe, DIR/Marwindl.00k) or one folder per disk.
  fs::path root(dir);
  bool flat = IsFile(root / kSetupName);
  if (!flat && !IsFile(root / "disk1" / kSetupName)) {
    Fail("no " + std::string(kSetupName) + " in " + Quote(root) + " or " + Quote(root / "disk1"));
  }
  fs::path setup = flat ? root / kSetupName : root / "disk1" / kSetupName;
  FileDirectoryRecord directory = {nullptr, nullptr, 0};
  TrailerCheck check = LoadTrailer(setup, directory);
  if (!check.Valid) Fail(Quote(setup) + ": " + check.Reason);
  std::printf("%s: %d files, unpacked size %d\n", setup.string().c_str(),
              [&] { int n = 0; for (auto* e = directory.First; e; e = e->Next) n++; return n; }(),
              directory.UnpackedSize);

  Bytes joined;
  int disks = 0;
  for (int d = 1; d <= kMaxDisks; d++) {
    fs::path part = (flat ? root : root / ("disk" + std::to_string(d))) / PartName(d);
    if (!IsFile(part)) break;
    Bytes bytes = ReadWhole(part, "part");
    joined.insert(joined.end(), bytes.begin(), bytes.end());
    std::printf("%s: %zu bytes\n", part.string().c_str(), bytes.size());
    disks = d;
  }
  if (disks == 0) Fail("no " + PartName(1) + " beside " + Quote(setup));

  Bytes stream = Decode(joined, directory.UnpackedSize, "the archive of " + std::to_string(disks) + " part(s)");
  Invariants inv = CheckInvariants(directory);
  if (!inv.contiguous) Fail("the files are not back to back: " + inv.gap);
  if (!inv.endsAtTotal) Fail("the last file does not end at the unpacked size");
  std::int32_t mainLength = directory.First ? directory.First->Offset : directory.UnpackedSize;
  std::printf("archive decodes: %d bytes, main program %d bytes\n", directory.UnpackedSize, mainLength);

  if (!against.empty()) {
    fs::path folder(against);
    fs::path original = FindIn(folder, mainName);
    if (original.empty()) Fail("no " + mainName + " in " + Quote(folder) + " to compare the main program with (use --main NAME)");
    std::string diff = FirstDifference(ReadWhole(original, "original"), stream.data(), static_cast<std::size_t>(mainLength));
    if (!diff.empty()) Fail("MISMATCH main program: " + diff + " (" + Quote(original) + ")");
    std::printf("ok  %-19s %11d\n", mainName.c_str(), mainLength);
    for (const DirectoryEntry* e = directory.First; e; e = e->Next) {
      std::string name = EntryName(*e);
      fs::path file = FindIn(folder, name);
      if (file.empty()) Fail("MISMATCH " + name + ": not in " + Quote(folder));
      diff = FirstDifference(ReadWhole(file, "original"), stream.data() + e->Offset, static_cast<std::size_t>(e->Size));
      if (!diff.empty()) Fail("MISMATCH " + name + ": " + diff + " (" + Quote(file) + ")");
      std::printf("ok  %-19s %11d\n", name.c_str(), e->Size);
    }
  }
  ReleaseFileDirectory(directory);
  std::printf("verified\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string command = args[0];
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  try {
    if (command == "compress") return Compress(args);
    if (command == "decompress") return Decompress(args);
    if (command == "build") return Build(args);
    if (command == "list") return List(args);
    if (command == "verify") return Verify(args);
    Usage("unknown command '" + command + "'");
  } catch (const Failure& f) {
    std::fprintf(stderr, "mwpack %s: %s\n", command.c_str(), f.message.c_str());
    if (f.code == 2) std::fputs("try 'mwpack --help'\n", stderr);
    return f.code;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "mwpack %s: out of memory\n", command.c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mwpack %s: %s\n", command.c_str(), e.what());
    return 1;
  }
}
