// The capture tool's videos and contact sheet, checked with ffprobe and by reading pixels.
#include "harness.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

static double meanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    if (a.size() != b.size() || a.empty())
        return 1e9;
    double sum = 0;
    for (size_t i = 0; i < a.size(); i++)
        sum += std::abs(a[i] - b[i]);
    return sum / a.size();
}

// The first number ffprobe prints for a command's entries of a file.
static double probeNumber(const std::string& entries, const std::string& path)
{
    return std::atof(shellOutput("ffprobe -v error " + entries + " -of csv=p=0 " + path).c_str());
}

// A short range as MP4 and as WebM: every frame at its size and rate, converted and tagged as
// BT.709, the first the frame --at draws for the same time (up to the encoder's loss); the sound
// exactly as long as the frames (the WebM's decoded to the sample, the MP4's as its edit list
// says) and starting with the first frame, not silent.
TEST(CaptureVideo, ShortRangesAsMp4AndWebmHaveTheirFramesTagsAndSound)
{
    std::string dir = newTempDir();
    // 3000 to 4000 ms at 30 fps: frames 90 to 120, 31 frames, 1.033 s, 49600 samples.
    for (std::string at : {"3000", "4000"})
        ASSERT_EQ(runCapture({"--fps", "30", "--at", at, "--out", dir + "/" + at + ".png"}), 0);
    for (std::string kind : {"mp4", "webm"}) {
        SCOPED_TRACE(kind);
        std::string v = dir + "/v." + kind;
        ASSERT_EQ(runCapture({"--video", v, "--fps", "30", "--from", "3000", "--to", "4000", "--quiet"}), 0);
        std::string video = shellOutput("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                                        "stream=codec_name,width,height,r_frame_rate,pix_fmt,nb_read_frames,color_range,"
                                        "color_space,color_transfer,color_primaries -of compact " + v);
        for (std::string field : {std::string("codec_name=") + (kind == "mp4" ? "h264" : "vp9"),
                                  std::string("width=1024|height=768"), std::string("pix_fmt=yuv420p"),
                                  std::string("color_range=tv|color_space=bt709|color_transfer=bt709|color_primaries=bt709"),
                                  std::string("r_frame_rate=30/1"), std::string("nb_read_frames=31")})
            EXPECT_NE(video.find(field), std::string::npos) << field << " in " << video;
        std::string audio = shellOutput("ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate,"
                                        "channels -of compact " + v);
        EXPECT_NE(audio.find(std::string("codec_name=") + (kind == "mp4" ? "aac" : "opus") + "|sample_rate=48000|channels=2"),
                  std::string::npos) << audio;
        // An AAC decoder gives whole frames of 1024 samples, which the edit list cuts.
        if (kind == "mp4")
            EXPECT_NEAR(probeNumber("-select_streams a:0 -show_entries stream=duration", v), 31 / 30.0, 0.001);
        else
            EXPECT_EQ(shellOutput("ffmpeg -v error -nostdin -i " + v + " -map 0:a -f s16le - | wc -c"), "198400\n");
        const std::string first = "-show_frames -read_intervals %+#1 -show_entries frame=pts_time";
        EXPECT_EQ(probeNumber("-select_streams a:0 " + first, v), 0.0);
        EXPECT_EQ(probeNumber("-select_streams v:0 " + first, v), 0.0);
        std::string volume = shellOutput("ffmpeg -v info -nostdin -i " + v + " -af volumedetect -f null - 2>&1");
        size_t at = volume.find("mean_volume: ");
        ASSERT_NE(at, std::string::npos) << volume;
        EXPECT_GT(std::atof(volume.c_str() + at + 13), -50.0) << volume;

        // Far closer to the still of its time than to the frame a second later.
        shellOutput("ffmpeg -v error -nostdin -y -i " + v + " -frames:v 1 " + dir + "/first.png");
        std::vector<unsigned char> frame = readImage(dir + "/first.png");
        double same = meanDifference(frame, readImage(dir + "/3000.png"));
        EXPECT_LT(same, 1.0);
        EXPECT_GT(meanDifference(frame, readImage(dir + "/4000.png")), 4 * same);
    }
    std::system(("rm -rf " + dir).c_str());
}

// The sheet at 1024x768 has a labelled thumbnail for each of the thirteen scenes, laid out on
// the background. At 1920x1080 it chooses the same moments, though its frames have bars: every
// label, which names the scene and the moment, is the same to the pixel.
TEST(CaptureVideo, SheetHasThirteenLabelledThumbnailsAndTheSameMomentsAtAnySize)
{
    std::string dir = newTempDir();
    ASSERT_EQ(runCapture({"--sheet", dir + "/sheet.png", "--fps", "2", "--quiet"}), 0);
    ASSERT_EQ(runCapture({"--sheet", dir + "/wide.png", "--fps", "2", "--quiet", "--size", "1920x1080"}), 0);
    int w = 0, h = 0, ww = 0, wh = 0;
    std::vector<unsigned char> sheet = readImage(dir + "/sheet.png", &w, &h);
    std::vector<unsigned char> wide = readImage(dir + "/wide.png", &ww, &wh);
    // Four thumbnails of 256x192 (256x144 at 16:9) to a row with 12-pixel margins, 28 pixels
    // of label below each, four rows under a 44-pixel title.
    ASSERT_EQ(w, 4 * 256 + 5 * 12);
    ASSERT_EQ(h, 44 + 4 * (192 + 28 + 12));
    ASSERT_TRUE(ww == w && wh == 44 + 4 * (144 + 28 + 12)) << ww << "x" << wh;
    auto left = [](int i) { return 12 + (i % 4) * (256 + 12); };
    auto top = [](int i, int thumb) { return 44 + (i / 4) * (thumb + 28 + 12); };
    // A cell's label has dark text; its thumbnail hides the background, which fills empty cells.
    for (int i = 0; i < 16; i++) {
        int label = 0, background = 0;
        for (int y = top(i, 192); y < top(i, 192) + 192 + 28; y++)
            for (int x = left(i); x < left(i) + 256; x++) {
                const unsigned char* p = &sheet[((size_t)y * w + x) * 3];
                label += y >= top(i, 192) + 192 && p[0] < 100;
                background += y < top(i, 192) + 192 && p[0] == 0xE4 && p[2] == 0xE4;
            }
        EXPECT_TRUE(i < 13 ? label > 50 && background < 256 * 192 / 10 : label == 0 && background == 256 * 192)
            << "cell " << i << ": " << label << " label pixels, " << background << " of background";
    }
    for (int i = 0; i < 13; i++) {
        SCOPED_TRACE("cell " + std::to_string(i));
        for (int y = top(i, 192) + 192; y < top(i, 192) + 192 + 28; y++)
            ASSERT_TRUE(std::equal(&sheet[((size_t)y * w + left(i)) * 3], &sheet[((size_t)y * w + left(i) + 256) * 3],
                                   &wide[((size_t)(y - top(i, 192) + top(i, 144) - 48) * w + left(i)) * 3]))
                << "the labels differ";
    }
    std::system(("rm -rf " + dir).c_str());
}
