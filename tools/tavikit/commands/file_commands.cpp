// tavikit info, scramble and bank: checking any file the library reads, and writing waves.
#include <cstdio>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "inspect/listing.h"
#include "inspect/picture_info.h"
#include "inspect/source.h"
#include "platform/file_io.h"
#include "tools/writer/wave_writer.h"

namespace tavitool {
namespace {

// One line (or JSON object) a file: kind, size, records, compression ratio, first problem.
int RunInfo(const Args& a) {
  if (a.operands.empty()) Misuse("needs one or more files");
  const bool json = a.Has("--json");
  bool damaged = false;
  if (json) std::printf("[");
  for (size_t i = 0; i < a.operands.size(); ++i) {
    Source src = OpenSource(a.operands[i]);
    AdoptPack(src);
    const Listing l = ListObject(src);
    damaged = damaged || !l.problem.empty();
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.3f", l.ratio);
    if (json) {
      std::printf(
          "%s{\"file\": %s, \"kind\": %s, \"size\": %zu, \"records\": %lld, \"ratio\": %s, "
          "\"problem\": %s}",
          i == 0 ? "" : ", ", JsonText(a.operands[i]).c_str(), JsonText(l.kind).c_str(),
          src.file.size(), static_cast<long long>(l.records), ratio,
          l.problem.empty() ? "null" : JsonText(l.problem).c_str());
      continue;
    }
    std::printf("%s: %s, %s, %s%s%s%s\n", a.operands[i].c_str(), l.kind.c_str(),
                Count(static_cast<int64_t>(src.file.size()), "byte", "bytes").c_str(),
                Count(l.records, "record", "records").c_str(),
                l.ratio > 0 ? (std::string(", ratio ") + ratio).c_str() : "",
                l.problem.empty() ? "" : ", problem: ", l.problem.c_str());
  }
  if (json) std::printf("]\n");
  return damaged ? kExitFailure : kExitOk;
}

// The plain RIFF bytes of a wave file of any form; refuses what the library would not load.
std::vector<uint8_t> PlainWave(const std::string& in) {
  const std::vector<uint8_t> image = ReadInput(in);
  WaveInfo info;
  std::string why;
  if (!DescribeWave(image, info, why)) Refuse(in + ": " + why);
  return *taviwriter::UnscrambleWave(image);
}

int RunScramble(const Args& a) {
  if (a.operands.size() != 1 || !a.Has("-o")) Misuse("needs one IN.wav and -o OUT.wav");
  const std::string mode = a.Get("--mode", "tavi");
  taviwriter::WaveScramble form = taviwriter::WaveScramble::kNone;
  if (mode == "TAVI") form = taviwriter::WaveScramble::kTAVI;
  if (mode == "tavi") form = taviwriter::WaveScramble::kTavi;
  if (form == taviwriter::WaveScramble::kNone && mode != "plain") {
    Misuse("--mode wants TAVI, tavi or plain, not '" + mode + "'");
  }
  return WriteAndReport(a.Get("-o"), taviwriter::ScrambleWave(PlainWave(a.operands[0]), form),
                        mode + " wave");
}

int RunBank(const Args& a) {
  if (a.operands.empty() || !a.Has("-o")) Misuse("needs waves and -o SET.bank");
  std::vector<std::vector<uint8_t>> images;
  for (const std::string& in : a.operands) {
    PlainWave(in);
    images.push_back(ReadInput(in));
  }
  return WriteAndReport(a.Get("-o"), taviwriter::SoundBank(images),
                        Count(static_cast<int64_t>(images.size()), "wave", "waves"));
}

constexpr Option kScrambleOptions[] = {{"-o", true}, {"--mode", true}};

}  // namespace

const Command kInfoCommand{
    "info", "check files: kind, size, records, compression ratio, first problem",
    "usage: tavikit info FILE[,OFFSET]... [--json]\n"
    "\n"
    "Describes each file (a pack, appended or not, an archive, a picture, a wave or a sound\n"
    "bank): its kind, size, records (entries, pictures, waves, or a picture's escape records),\n"
    "the ratio of the bytes stored to the pixels drawn, and the first problem found in it.\n"
    "Exits with 1 when any file is damaged.\n",
    kJsonOnly, RunInfo};

const Command kScrambleCommand{
    "scramble", "write a wave scrambled (\"TAVI\", \"tavi\") or plain",
    "usage: tavikit scramble IN.wav -o OUT.wav [--mode TAVI|tavi|plain]\n"
    "\n"
    "Writes a wave of any form as a \"TAVI\" image (64 bytes XORed), a \"tavi\" image (the\n"
    "default: an XOR chain over the whole image) or a plain RIFF/WAVE file.\n",
    kScrambleOptions, RunScramble};

const Command kBankCommand{"bank", "gather waves into a TKWV sound bank",
                           "usage: tavikit bank A.wav B.wav ... -o SET.bank\n"
                           "\n"
                           "Gathers waves (plain or scrambled, kept as they are) into a sound "
                           "bank; a script\nloads wave N of it with tavi_dsloadB.\n",
                           kOutputOnly, RunBank};

}  // namespace tavitool
