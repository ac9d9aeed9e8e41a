// Whether a remux keeps what real discs and recordings carry: LPCM sample
// for sample, the pictures' shape, the flags players select tracks by, the
// chapters and attached files of a Matroska source, and a clean header.
// Sources are made with ffmpeg; outputs are judged with mkvmerge -J,
// mkvextract, ffprobe and ffmpeg's hashes of decoded samples.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace quorvex::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kMuxing = "Muxing source file to Matroska container. Please wait...";

// Eight channels that all differ, so a lost or swapped channel shows; each
// audio track takes its layout from them.
const std::string kEightTones =
    "aevalsrc=exprs=0.1*sin(2*PI*220*t)|0.1*sin(2*PI*330*t)|0.1*sin(2*PI*440*t)|0.1*sin(2*PI*550*t)|"
    "0.1*sin(2*PI*660*t)|0.1*sin(2*PI*770*t)|0.1*sin(2*PI*880*t)|0.1*sin(2*PI*990*t):c=7.1:s=48000:d=1";

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<std::string> Picture(const std::string& size, const std::string& duration = "1") {
  return {"-f", "lavfi", "-i", "testsrc2=duration=" + duration + ":size=" + size + ":rate=25"};
}

// ffmpeg's MD5 of one audio stream decoded to 32-bit samples.
std::string SampleHash(const std::string& file, const std::string& map) {
  CommandResult result =
      RunCommand({"ffmpeg", "-v", "error", "-i", file, "-map", map, "-c:a", "pcm_s32le", "-f", "md5", "-"});
  EXPECT_EQ(result.exitCode, 0) << file << " " << map << ": " << result.errorOutput;
  return result.output;
}

json Identify(const std::string& file) {
  CommandResult result = RunCommand({"mkvmerge", "-J", file});
  EXPECT_EQ(result.exitCode, 0) << file << ": " << result.output;
  return json::parse(result.output, nullptr, false);
}

// The chapters' times, names and languages, from mkvextract's XML.
std::vector<std::string> Chapters(const std::string& file) {
  std::vector<std::string> chapters;
  for (const std::string& line : Lines(RunCommand({"mkvextract", file, "chapters", "-"}).output)) {
    for (const char* element : {"<ChapterTimeStart>", "<ChapterTimeEnd>", "<ChapterString>", "<ChapterLanguage>"}) {
      if (line.find(element) != std::string::npos) chapters.push_back(line.substr(line.find('<')));
    }
  }
  return chapters;
}

std::string Probe(const std::string& file, const std::vector<std::string>& arguments) {
  std::vector<std::string> command{"ffprobe", "-v", "error"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  command.push_back(file);
  return RunCommand(command).output;
}

// Fixtures are made on first use, once for the whole suite; each test
// copies the ones it works on into its own folder, so outputs never meet.
class FidelityE2eTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { fixtures_ = std::make_unique<ScratchDirectory>(); }
  static void TearDownTestSuite() { fixtures_.reset(); }

  static void Make(const std::string& name) {
    const ScratchDirectory& f = *fixtures_;
    const std::string target = f / name;
    if (name == "bluray.m2ts") {
      // Blu-ray LPCM in every width ffmpeg writes and in even and odd
      // layouts (the odd ones carry a padding channel), beside H.264 and AC-3.
      RunFfmpeg(Join(Picture("160x120"), {"-f",
                                          "lavfi",
                                          "-i",
                                          kEightTones,
                                          "-map",
                                          "0:v",
                                          "-map",
                                          "1:a",
                                          "-map",
                                          "1:a",
                                          "-map",
                                          "1:a",
                                          "-map",
                                          "1:a",
                                          "-map",
                                          "1:a",
                                          "-map",
                                          "1:a",
                                          "-c:v",
                                          "libx264",
                                          "-preset",
                                          "ultrafast",
                                          "-c:a",
                                          "pcm_bluray",
                                          "-filter:a:0",
                                          "aformat=channel_layouts=mono:sample_fmts=s16",
                                          "-filter:a:1",
                                          "aformat=channel_layouts=stereo:sample_fmts=s32",
                                          "-filter:a:2",
                                          "aformat=channel_layouts=3.0:sample_fmts=s16",
                                          "-filter:a:3",
                                          "aformat=channel_layouts=5.1:sample_fmts=s32",
                                          "-filter:a:4",
                                          "aformat=channel_layouts=7.1:sample_fmts=s32",
                                          "-c:a:5",
                                          "ac3",
                                          "-mpegts_m2ts_mode",
                                          "1",
                                          "-f",
                                          "mpegts",
                                          target}));
    } else if (name == "dvd.vob") {
      // A 16:9 PAL DVD: wide pixels, LPCM in 16 and 24 bits, AC-3.
      RunFfmpeg(Join(Picture("720x576"), {"-f",          "lavfi",
                                          "-i",          kEightTones,
                                          "-map",        "0:v",
                                          "-map",        "1:a",
                                          "-map",        "1:a",
                                          "-map",        "1:a",
                                          "-c:v",        "mpeg2video",
                                          "-aspect",     "16:9",
                                          "-c:a",        "pcm_dvd",
                                          "-filter:a:0", "aformat=channel_layouts=stereo:sample_fmts=s16",
                                          "-filter:a:1", "aformat=channel_layouts=stereo:sample_fmts=s32",
                                          "-c:a:2",      "ac3",
                                          "-ac:a:2",     "2",
                                          "-f",          "vob",
                                          target}));
    } else if (name == "ntsc.ts") {
      RunFfmpeg(Join(Picture("720x480", "0.2"), {"-c:v", "mpeg2video", "-aspect", "16:9", target}));
    } else if (name == "hdv.ts") {
      // 1440x1080 with 4:3 pixels, as HDV and DVB-HD send it.
      RunFfmpeg(
          Join(Picture("1440x1080", "0.2"), {"-vf", "setsar=4/3", "-c:v", "libx264", "-preset", "ultrafast", target}));
    } else if (name == "hevc.ts") {
      RunFfmpeg(Join(Picture("360x270", "0.2"), {"-vf", "setsar=4/3", "-c:v", "libx265", "-preset", "ultrafast",
                                                 "-x265-params", "log-level=error", target}));
    } else if (name == "mpeg4.avi") {
      RunFfmpeg(Join(Picture("352x288", "0.2"), {"-vf", "setsar=16/11", "-c:v", "mpeg4", target}));
    } else if (name == "square.ts") {
      RunFfmpeg(Join(Picture("320x240", "0.2"), {"-c:v", "libx264", "-preset", "ultrafast", target}));
    } else if (name == "extras.mkv") {
      // Chapters from a metadata file, a font and a cover picture attached,
      // audio tracks with every flag a player selects by. FLAC, which has no
      // priming delay, keeps every track starting at 0, so the chapters'
      // times need no shifting.
      const std::string chapters = f / "chapters.txt";
      ASSERT_EQ(
          RunCommand({"sh", "-c",
                      "printf ';FFMETADATA1\\n[CHAPTER]\\nTIMEBASE=1/1000\\nSTART=0\\nEND=400\\ntitle=Opening\\n"
                      "[CHAPTER]\\nTIMEBASE=1/1000\\nSTART=400\\nEND=1000\\ntitle=Finale \\303\\251t\\303\\251\\n'"
                      " > \"$0\"",
                      chapters})
              .exitCode,
          0);
      const std::string font = f / "font.ttf";
      ASSERT_EQ(RunCommand({"sh", "-c", "head -c 5000 /dev/urandom > \"$0\"", font}).exitCode, 0);
      RunFfmpeg(Join(Picture("64x48"), {"-frames:v", "1", f / "cover.jpg"}));
      RunFfmpeg(Join(Picture("160x120"), {"-f",
                                          "lavfi",
                                          "-i",
                                          kEightTones,
                                          "-i",
                                          chapters,
                                          "-map",
                                          "0:v",
                                          "-map",
                                          "1:a",
                                          "-map",
                                          "1:a",
                                          "-map",
                                          "1:a",
                                          "-map_chapters",
                                          "2",
                                          "-c:v",
                                          "libx264",
                                          "-preset",
                                          "ultrafast",
                                          "-c:a",
                                          "flac",
                                          "-ac",
                                          "2",
                                          "-metadata:s:a:0",
                                          "language=ger",
                                          "-metadata:s:a:1",
                                          "language=eng",
                                          "-metadata:s:a:1",
                                          "title=Director",
                                          "-disposition:v",
                                          "default",
                                          "-disposition:a:0",
                                          "default+original",
                                          "-disposition:a:1",
                                          "comment+hearing_impaired",
                                          "-disposition:a:2",
                                          "forced+visual_impaired",
                                          "-attach",
                                          font,
                                          "-metadata:s:t:0",
                                          "mimetype=font/ttf",
                                          "-attach",
                                          f / "cover.jpg",
                                          "-metadata:s:t:1",
                                          "mimetype=image/jpeg",
                                          target}));
    }
  }

  // Copies a fixture into this test's folder and answers its new path.
  std::string Fixture(const std::string& name) {
    if (!fs::exists((*fixtures_) / name)) Make(name);
    const std::string target = work_ / name;
    fs::copy_file((*fixtures_) / name, target, fs::copy_options::overwrite_existing);
    return target;
  }

  // Remuxes with the given options; the output keeps the frames' own times.
  std::string Remux(const std::string& source, const std::string& output, std::vector<std::string> options = {}) {
    options.insert(options.begin(), {source, work_ / output, "-no24p"});
    CommandResult run = RunQuorvex(options);
    EXPECT_EQ(run.exitCode, 0) << run.output << run.errorOutput;
    EXPECT_EQ(Lines(run.output), (std::vector<std::string>{kMuxing, "Done."}));
    EXPECT_EQ(run.errorOutput, "");
    return work_ / output;
  }

  static std::unique_ptr<ScratchDirectory> fixtures_;
  ScratchDirectory work_;
};

std::unique_ptr<ScratchDirectory> FidelityE2eTest::fixtures_;

struct PcmTrack {
  int channels;
  int bits;  // in the Matroska track
};

TEST_F(FidelityE2eTest, DiscLpcmIsKeptSampleForSample) {
  struct Case {
    std::string source;
    std::vector<PcmTrack> pcm;  // the first audio tracks, in order
  };
  const std::vector<Case> cases = {
      {"bluray.m2ts", {{1, 16}, {2, 24}, {3, 16}, {6, 24}, {8, 24}}},
      {"dvd.vob", {{2, 16}, {2, 24}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    const std::string source = Fixture(c.source);
    const std::string output = Remux(source, c.source + ".mkv");
    const json identity = Identify(output);
    const json& tracks = identity["tracks"];
    ASSERT_EQ(tracks.size(), c.pcm.size() + 2);  // video, the LPCM tracks, AC-3
    for (size_t i = 0; i < c.pcm.size(); ++i) {
      SCOPED_TRACE("audio " + std::to_string(i));
      const json& properties = tracks[i + 1]["properties"];
      EXPECT_EQ(properties["codec_id"], "A_PCM/INT/LIT");
      EXPECT_EQ(properties["audio_channels"], c.pcm[i].channels);
      EXPECT_EQ(properties["audio_bits_per_sample"], c.pcm[i].bits);
      EXPECT_EQ(properties["audio_sampling_frequency"], 48000);
      const std::string map = "0:a:" + std::to_string(i);
      EXPECT_EQ(SampleHash(output, map), SampleHash(source, map));
    }
    EXPECT_EQ(tracks[c.pcm.size() + 1]["properties"]["codec_id"], "A_AC3");
    // The LPCM keeps its time against the picture.
    const auto start = [](const std::string& file, const std::string& stream) {
      return std::stod(
          Probe(file, {"-select_streams", stream, "-show_entries", "stream=start_time", "-of", "csv=p=0"}));
    };
    EXPECT_NEAR(start(output, "a:0") - start(output, "v:0"), start(source, "a:0") - start(source, "v:0"), 0.001);
  }
}

TEST_F(FidelityE2eTest, DemuxedLpcmIsAWavFileWithEverySample) {
  const std::string source = Fixture("bluray.m2ts");
  ScratchDirectory folder;
  CommandResult run = RunQuorvex({source, folder / "out.mkv", "-demux", "-audioOnly"});
  ASSERT_EQ(run.exitCode, 0) << run.output << run.errorOutput;
  const std::vector<std::vector<std::string>> outputs = {{"out.2.mpa", "0:a:0", "pcm_s16le", "1"},
                                                         {"out.3.mpa", "0:a:1", "pcm_s24le", "2"},
                                                         {"out.4.mpa", "0:a:2", "pcm_s16le", "3"},
                                                         {"out.5.mpa", "0:a:3", "pcm_s24le", "6"},
                                                         {"out.6.mpa", "0:a:4", "pcm_s24le", "8"}};
  for (const std::vector<std::string>& output : outputs) {
    SCOPED_TRACE(output[0]);
    const std::string file = folder / output[0];
    EXPECT_EQ(Probe(file, {"-show_entries", "format=format_name:stream=codec_name,channels", "-of", "csv=p=0"}),
              output[2] + "," + output[3] + "\nwav\n");
    EXPECT_EQ(SampleHash(file, "0:a:0"), SampleHash(source, output[1]));
  }
  // mkvmerge takes such a file as it is.
  const std::string merged = folder / "merged.mkv";
  EXPECT_EQ(RunCommand({"mkvmerge", "-q", "-o", merged, folder / "out.5.mpa"}).exitCode, 0);
  EXPECT_EQ(SampleHash(merged, "0:a:0"), SampleHash(source, "0:a:3"));
}

TEST_F(FidelityE2eTest, PicturesKeepTheirShape) {
  struct Case {
    std::string source;
    double displayAspect;  // width over height as the picture is shown
  };
  const std::vector<Case> cases = {
      {"dvd.vob", 16.0 / 9},
      {"ntsc.ts", 16.0 / 9},
      {"hdv.ts", 16.0 / 9},
      {"hevc.ts", 360.0 * 4 / 3 / 270},
      {"mpeg4.avi", 352.0 * 16 / 11 / 288},
      {"square.ts", 4.0 / 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    const std::string output = Remux(Fixture(c.source), c.source + ".mkv", {"-videoOnly"});
    const json identity = Identify(output);
    ASSERT_EQ(identity["tracks"].size(), 1u);
    const json& video = identity["tracks"][0]["properties"];
    const std::string display = video.value("display_dimensions", "");
    const size_t x = display.find('x');
    ASSERT_NE(x, std::string::npos) << display;
    const double aspect = std::stod(display.substr(0, x)) / std::stod(display.substr(x + 1));
    EXPECT_NEAR(aspect, c.displayAspect, 0.005 * c.displayAspect) << display;
    EXPECT_NE(video.value("display_unit", 0), 4);  // never "unknown"
  }
}

TEST_F(FidelityE2eTest, FirstVideoAndAudioAreDefaultWhenTheSourceMarksNone) {
  const json identity = Identify(Remux(Fixture("bluray.m2ts"), "flags.mkv"));
  std::vector<bool> defaults;
  for (const json& track : identity["tracks"]) defaults.push_back(track["properties"]["default_track"]);
  EXPECT_EQ(defaults, (std::vector<bool>{true, true, false, false, false, false, false}));
}

TEST_F(FidelityE2eTest, MatroskaSourceFlagsNamesAndLanguagesTravel) {
  const json identity = Identify(Remux(Fixture("extras.mkv"), "flags.mkv", {"-audioOnly"}));
  const json& tracks = identity["tracks"];
  ASSERT_EQ(tracks.size(), 3u);
  struct Expected {
    std::string language;
    std::string name;
    bool isDefault, original, commentary, hearingImpaired, forced, visualImpaired;
  };
  const std::vector<Expected> expected = {
      {"ger", "", true, true, false, false, false, false},
      {"eng", "Director", false, false, true, true, false, false},
      {"und", "", false, false, false, false, true, true},
  };
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("audio " + std::to_string(i));
    const json& p = tracks[i]["properties"];
    EXPECT_EQ(p.value("language", "und"), expected[i].language);
    EXPECT_EQ(p.value("track_name", ""), expected[i].name);
    EXPECT_EQ(p.value("default_track", false), expected[i].isDefault);
    EXPECT_EQ(p.value("flag_original", false), expected[i].original);
    EXPECT_EQ(p.value("flag_commentary", false), expected[i].commentary);
    EXPECT_EQ(p.value("flag_hearing_impaired", false), expected[i].hearingImpaired);
    EXPECT_EQ(p.value("forced_track", false), expected[i].forced);
    EXPECT_EQ(p.value("flag_visual_impaired", false), expected[i].visualImpaired);
  }
}

TEST_F(FidelityE2eTest, ChaptersAndAttachmentsOfAMatroskaSourceAreKept) {
  const std::string source = Fixture("extras.mkv");
  const std::vector<std::string> sourceChapters = Chapters(source);
  ASSERT_EQ(sourceChapters.size(), 8u);
  const json sourceIdentity = Identify(source);
  ASSERT_EQ(sourceIdentity["attachments"].size(), 2u);
  for (const std::string option : {"-audioOnly", "-videoOnly"}) {
    SCOPED_TRACE(option);
    const std::string output = Remux(source, "extras" + option + ".mkv", {option});
    EXPECT_EQ(Chapters(output), sourceChapters);
    const json identity = Identify(output);
    ASSERT_EQ(identity["attachments"].size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
      const json& attached = identity["attachments"][i];
      const json& original = sourceIdentity["attachments"][i];
      EXPECT_EQ(attached["file_name"], original["file_name"]);
      EXPECT_EQ(attached["content_type"], original["content_type"]);
      EXPECT_EQ(attached["size"], original["size"]);
      const std::string copy = work_ / ("attached" + option + std::to_string(i));
      const std::string id = std::to_string(attached["id"].get<int>());
      ASSERT_EQ(RunCommand({"mkvextract", output, "attachments", id + ":" + copy}).exitCode, 0);
      const std::string name = original["file_name"];
      EXPECT_EQ(ReadFile(copy), ReadFile((*fixtures_) / name)) << name;
    }
  }
}

TEST_F(FidelityE2eTest, HeaderNamesQuorvexAndHoldsNothingStray) {
  const json identity = Identify(Remux(Fixture("dvd.vob"), "header.mkv"));
  const json& container = identity["container"]["properties"];
  EXPECT_EQ(container["writing_application"], std::string("quorvex ") + QUORVEX_VERSION_TEXT);
  EXPECT_EQ(container["muxing_application"].get<std::string>().rfind("Lavf", 0), 0u);
  EXPECT_TRUE(identity["global_tags"].empty()) << identity["global_tags"];
  // A bit depth only where the track has one: LPCM yes, AC-3 no.
  const json& tracks = identity["tracks"];
  ASSERT_EQ(tracks.size(), 4u);
  EXPECT_EQ(tracks[1]["properties"].value("audio_bits_per_sample", 0), 16);
  EXPECT_FALSE(tracks[3]["properties"].contains("audio_bits_per_sample")) << tracks[3];
}

}  // namespace
}  // namespace quorvex::e2e
