// SPDX-License-Identifier: GPL-3.0-or-later
// The project file: golden payload bytes, round trips, and refusal of
// damaged payloads without a crash.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>

#include "files/BmpFile.h"
#include "files/PictureDecoders.h"
#include "files/ProjectExtension.h"
#include "files/ProjectFile.h"
#include "files/WholeFile.h"
#include "files/Zlib.h"
#include "model/ByteStream.h"
#include "model/Common.h"
#include "tests/support/Refusal.h"
#include "tests/support/TestPictures.h"

namespace {

class ProjectFileTest : public testing::Test {
 protected:
  static TFigure Stickman(float X, float Y) {
    TFigure f;
    f.SetType(1, StickmanType());
    f.MoveBy(RealPoint(X, Y));
    return f;
  }

  // Adds a two-segment type named Name to the table and returns its entry.
  uint8_t AddType(const QString& Name = "arm") {
    auto type = std::make_shared<TFigureType>();
    type->AddSegment(0, SegmentLine, 30, 4, 1.0, 0);
    type->AddSegment(1, SegmentCircle, 12, 2, 2.0, 1);
    type->Segments[0].Gap1[1] = 7;  // kept as read
    A.Types.Append(std::move(type), Name);
    return static_cast<uint8_t>(A.Types.Count() - 1);
  }

  // One Next Frame of the start Stickman.
  QByteArray StartPayload() {
    A.Frames = {TFigures()};
    A.Frames[0].Items.push_back(Stickman(253, 207));
    return ProjectPayload(A);
  }

  // Expects A's extension block to be the one chunk Tag holding Hex.
  void ExpectOneChunk(const char* Tag, const char* Hex) {
    const std::vector<TExtensionChunk> chunks = ExtensionChunks(A);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].Tag, Tag);
    EXPECT_EQ(chunks[0].Data.toHex(), Hex);
  }

  TAnimation A = NewAnimation();
};

// How a payload is taken, checked to be the same when it is read from its
// zlib stream in pieces of these sizes: 7 bytes, so that every block
// straddles pieces; pieces as large as the stream, inflated without a thread.
std::string Refusal(const QByteArray& Payload, std::initializer_list<qsizetype> Pieces = {7, 1000}) {
  std::string whole = RefusalOf([&] { ParseProjectPayload(Payload); }, "read");
  const QByteArray stream = ZlibCompress(Payload);
  for (qsizetype piece : Pieces)
    EXPECT_EQ(RefusalOf([&] { ParseProjectStream(stream, piece); }, "read"), whole) << "piece " << piece;
  return whole;
}

// How Plain is taken with an extension block of the one chunk Tag holding Hex.
std::string ChunkRefusal(QByteArray Plain, const char* Tag, const char* Hex) {
  AppendExtensionBlock(Plain, {{Tag, QByteArray::fromHex(Hex)}});
  return Refusal(Plain);
}

}  // namespace

TEST_F(ProjectFileTest, OneFrameOfTheStartStickmanIsTheKnown113Bytes) {
  const QByteArray payload = StartPayload();
  ASSERT_EQ(payload.size(), 113);
  EXPECT_EQ(payload.left(16).toHex(' '), "02 00 fa 01 00 00 9f 01 00 00 02 01 00 00 00 01");
  EXPECT_EQ(payload.mid(16, 9).toHex(' '), "01 00 00 80 3f 00 00 00 00");
  EXPECT_EQ(payload.right(8).toHex(' '), "00 00 7d 43 00 00 4f 43");
  EXPECT_EQ(ZlibCompress(payload).left(2).toHex(), "78da");
}

TEST_F(ProjectFileTest, TypesNamesFramesAndFiguresRoundTrip) {
  const uint8_t added = AddType(QString::fromUtf8("Zoë €uro"));
  AddType(QString(300, QChar('n')));
  TFigure own;
  own.SetType(A.Types, added);
  own.MoveBy(RealPoint(10.5f, -3));
  own.RotateSegment(1, 0.25);
  own.Color = 0x123456;
  own.SetScale(1.5f);
  A.Frames = {TFigures(), TFigures()};
  A.Frames[0].Items = {Stickman(1, 2), own};

  const TAnimation back = ParseProjectPayload(ProjectPayload(A));
  ASSERT_EQ(back.Types.Count(), 4);
  EXPECT_EQ(back.Types.Type(2)->Segments[0].Gap1[1], 7);
  EXPECT_EQ(back.Types.Type(3)->Segments[1].Static, 1);
  EXPECT_EQ(back.Types.ListedNames(),
            QStringList({"Stickman", QString::fromUtf8("Zoë €uro"), QString(255, QChar('n'))}));
  ASSERT_EQ(back.Frames.size(), 2u);
  EXPECT_EQ(back.Frames[1].Count(), 0);
  const TFigure& f = back.Frames[0].Items[1];
  EXPECT_EQ(f.TypeIndex, added);
  EXPECT_EQ(f.Color, 0x123456u);
  EXPECT_EQ(f.Angles, own.Angles);
  EXPECT_EQ(f.Root(), own.Root());
  EXPECT_EQ(f.Scale, own.Scale);
  EXPECT_EQ(f.TypeReference(), back.Types.Type(added));
  // Characters outside the code page are saved as '?'.
  TAnimation japanese = NewAnimation();
  japanese.Types.Append(A.Types.Type(added), QString::fromUtf8("日本"));
  EXPECT_EQ(ParseProjectPayload(ProjectPayload(japanese)).Types.ListedNames()[1], "??");
}

TEST_F(ProjectFileTest, BackgroundsRoundTrip) {
  A.HasBackground = true;
  // A JPEG background keeps the very bytes of its file, also when the animation size differs.
  A.BackgroundKind = 1;
  A.BackgroundJpeg = EncodeJpeg(Gradient(40, 30), TJpegKind::Baseline);
  A.Width = 60;
  A.Height = 20;
  A.Background = Gradient(60, 20);
  TAnimation back = ParseProjectPayload(StartPayload());
  EXPECT_EQ(back.BackgroundKind, 1);
  EXPECT_EQ(back.BackgroundJpeg, A.BackgroundJpeg);
  // It is read at the animation's size: cut below, white to the right.
  ASSERT_EQ(back.Background.size(), QSize(60, 20));
  EXPECT_EQ(back.Background.copy(0, 0, 40, 20), DecodeJpeg(A.BackgroundJpeg).copy(0, 0, 40, 20));
  EXPECT_EQ(back.Background.pixel(59, 19), qRgb(255, 255, 255));
  EXPECT_EQ(back.Width, 60);

  // A BMP block is exactly as long as its header says; the type count follows it.
  A.BackgroundKind = 0;
  A.Background = Gradient(5, 3);
  A.Width = 5;
  A.Height = 3;
  const QByteArray payload = StartPayload();
  EXPECT_EQ(payload.mid(11, 2), "BM");
  EXPECT_EQ(uint8_t(payload[11 + 54 + 3 * 16]), 2) << "type count right after a 54 + 3 x 16 byte block";
  back = ParseProjectPayload(payload);
  EXPECT_EQ(back.BackgroundKind, 0);
  EXPECT_EQ(back.Background, A.Background);

  A.Background = Gradient(9, 4).convertToFormat(QImage::Format_Indexed8);
  A.Width = 9;
  A.Height = 4;
  back = ParseProjectPayload(StartPayload());
  EXPECT_EQ(back.Background.format(), QImage::Format_Indexed8);
  EXPECT_EQ(back.Background.convertToFormat(QImage::Format_RGB32), A.Background.convertToFormat(QImage::Format_RGB32));
}

TEST_F(ProjectFileTest, DamagedPayloadsAreRefusedWithASentence) {
  AddType();
  const QByteArray good = StartPayload();
  const int typeCount = 10, frameCount = 10 + 1 + 49 + 1 + 3;
  struct TCase {
    const char* Name;
    std::function<void(QByteArray&)> Damage;
    const char* Expected;
  };
  const std::vector<TCase> cases = {
      {"version 1", [](QByteArray& P) { P[0] = 1; }, "that .tvl file is not compatible with this version of Tavel"},
      {"version 3", [](QByteArray& P) { P[0] = 3; }, "that .tvl file is not compatible with this version of Tavel"},
      {"width 0", [](QByteArray& P) { P[2] = 0, P[3] = 0; }, "animation size, 0 x 415"},
      {"height 20000", [](QByteArray& P) { P[6] = char(0x20), P[7] = char(0x4E); }, "506 x 20000"},
      {"one type", [&](QByteArray& P) { P[typeCount] = 1; }, "counts 1 figure types"},
      {"255 types", [&](QByteArray& P) { P[typeCount] = char(255); }, "counts 255 figure types"},
      {"negative frames", [&](QByteArray& P) { P[frameCount + 3] = char(0x80); }, "frame count is negative"},
      {"too many frames", [&](QByteArray& P) { P[frameCount + 2] = 1; }, "ends before its last frame"},
      {"type index 0", [&](QByteArray& P) { P[frameCount + 5] = 0; }, "uses figure type 0"},
      {"type index N", [&](QByteArray& P) { P[frameCount + 5] = 3; }, "uses figure type 3"},
      {"type index N of many frames", [&](QByteArray& P) { P[frameCount + 5] = 3, P[frameCount + 2] = 1; },
       "uses figure type 3"},
      {"ends early", [](QByteArray& P) { P.chop(1); }, "ends early"},
      {"not a tree", [&](QByteArray& P) { P[typeCount + 2] = 5; }, "hangs from vertex 5"},
      {"jpeg end before", [](QByteArray& P) { P[1] = 1, P.insert(10, QByteArray::fromHex("010000000000000000")); },
       "outside the file"},
      {"bmp too long", [](QByteArray& P) { P[1] = 1, P.insert(10, QByteArray::fromHex("00424dffff0000")); },
       "claims 65535 bytes"},
      {"bmp garbage",
       [](QByteArray& P) { P[1] = 1, P.insert(10, QByteArray::fromHex("00424d1a000000") + QByteArray(19, 'x')); },
       "Bitmap image is not valid"},
  };
  ASSERT_EQ(Refusal(good), "read");
  for (const TCase& c : cases) {
    QByteArray damaged = good;
    c.Damage(damaged);
    EXPECT_NE(Refusal(damaged).find(c.Expected), std::string::npos) << c.Name << ": " << Refusal(damaged);
  }
}

TEST_F(ProjectFileTest, EveryTruncationAndThousandsOfByteFlipsAreReadOrRefused) {
  AddType();
  A.HasBackground = true;
  A.Width = A.Height = 4;
  A.Background = Gradient(4, 4);
  A.Frames = {TFigures(), TFigures()};
  A.Frames[0].Items = {Stickman(3, 4)};
  const QByteArray good = ProjectPayload(A);
  for (qsizetype n = 0; n < good.size(); ++n) EXPECT_NE(Refusal(good.left(n)), "read") << n;
  // Deterministic flips: every outcome is a read or a sentence, never a crash (the sanitizers watch).
  uint32_t state = 12345;
  int refused = 0;
  for (int i = 0; i < 4000; ++i) {
    QByteArray damaged = good;
    state = state * 1103515245 + 12345;
    const qsizetype at = (state >> 8) % good.size();
    damaged[at] = static_cast<char>(damaged[at] ^ (1 << ((state >> 4) % 8)));
    const std::string outcome = Refusal(damaged, {1000});
    EXPECT_FALSE(outcome.empty());
    refused += outcome != "read";
  }
  EXPECT_GT(refused, 100);
}

TEST_F(ProjectFileTest, FilesAreNamedInRefusalsAndNonZlibDataIsErrorWithWhatIsWrong) {
  QTemporaryDir dir;
  const QString base = dir.filePath("walk");
  StartPayload();
  WriteProjectFile(base, A);
  EXPECT_EQ(ReadProjectFile(base + ".tvl").Frames.size(), 1u);

  const QByteArray stream = ZlibCompress(StartPayload());
  QByteArray corrupt = stream;
  corrupt[corrupt.size() - 1] = char(corrupt[corrupt.size() - 1] ^ 1);  // the checksum
  const std::pair<QByteArray, const char*> rows[] = {
      {"this is no zlib stream", "walk.tvl is not a Tavel project: its data is not zlib-compressed."},
      {"", "walk.tvl is not a Tavel project: its data is not zlib-compressed."},
      {stream.left(stream.size() / 2), "walk.tvl is damaged and was not opened. Its compressed data ends early."},
      {corrupt, "walk.tvl is damaged and was not opened. Its compressed data is corrupt."},
  };
  for (const auto& [bytes, sentence] : rows) {
    WriteWholeFile(base + ".tvl", bytes);
    try {
      ReadProjectFile(base + ".tvl");
      ADD_FAILURE() << sentence;
    } catch (const EZlibError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Error\n") + sentence);
    }
  }
  QByteArray payload = StartPayload();
  payload[10] = 0;
  WriteWholeFile(base + ".tvl", ZlibCompress(payload));
  try {
    ReadProjectFile(base + ".tvl");
    FAIL();
  } catch (const EProjectDamaged& e) {
    EXPECT_EQ(std::string(e.what()).rfind("walk.tvl is damaged and was not opened.", 0), 0u) << e.what();
  }
}

// A fault of the stream itself is "Error" however far the payload in it
// would have been read, as when the whole stream is inflated first.
TEST_F(ProjectFileTest, StreamFaultsAreErrorBeforeAnythingInThePayload) {
  const QByteArray good = StartPayload();
  QByteArray oldVersion = good, noTypes = good;
  oldVersion[0] = 1;
  noTypes[10] = 0;
  for (const QByteArray& payload : {good, oldVersion, noTypes}) {
    const QByteArray stream = ZlibCompress(payload);
    QByteArray badSum = stream;
    badSum[badSum.size() - 1] = char(badSum[badSum.size() - 1] ^ 1);
    for (const QByteArray& bad : {stream.left(stream.size() - 4), stream.left(stream.size() / 2), badSum})
      for (qsizetype piece : {qsizetype(7), ProjectPiece})
        EXPECT_EQ(RefusalOf([&] { ParseProjectStream(bad, piece); }, "read"), "Error") << bad.size() << " " << piece;
  }
}

TEST_F(ProjectFileTest, ManyFramesAreReadInFileOrder) {
  A.Frames.resize(1000);
  for (int f = 0; f < 1000; ++f)
    for (int k = 0; k < f % 4; ++k) A.Frames[f].Items.push_back(Stickman(static_cast<float>(f), static_cast<float>(k)));
  QByteArray payload = ProjectPayload(A);
  const TAnimation back = ParseProjectPayload(payload);
  ASSERT_EQ(back.Frames.size(), 1000u);
  for (int f = 0; f < 1000; ++f) {
    ASSERT_EQ(back.Frames[f].Count(), f % 4) << f;
    if (f % 4) {
      EXPECT_EQ(back.Frames[f].Items.back().Root(), RealPoint(f, f % 4 - 1)) << f;
    }
  }
  // Read from its stream in pieces, on a helper thread, the frames are the same.
  auto framesBytes = [](const TAnimation& Contents) {
    QByteArray bytes;
    for (const TFigures& frame : Contents.Frames) {
      bytes += char(frame.Count());
      for (const TFigure& figure : frame.Items) figure.SaveToBytes(bytes);
    }
    return bytes;
  };
  EXPECT_EQ(framesBytes(ParseProjectStream(ZlibCompress(payload), 1000)), framesBytes(back));
  // A non-finite scale in the last frame is found.
  const qsizetype lastScale = payload.size() - (17 + 80) + 1;
  payload[lastScale + 3] = char(0x7F), payload[lastScale + 2] = char(0xC0);
  EXPECT_NE(Refusal(payload).find("not finite"), std::string::npos) << Refusal(payload);
}

namespace {

// Empty frames cost a byte each in the file but memory when read: what a
// small file may claim is bounded by the budget it is read with.
TEST(ProjectBudget, FramesAreChargedAgainstTheMemoryBudgetWhileReading) {
  const auto payload = [](int32_t Frames, qsizetype Bytes) {
    QByteArray p = QByteArray::fromHex("0200FA0100009F01000002");  // 506 x 415, no background, 2 types
    p.append(reinterpret_cast<const char*>(&Frames), 4);
    return p + QByteArray(Bytes, '\0');
  };
  constexpr qint64 Budget = 64 << 20;
  const qint64 empty = FrameMemory(TFigures());
  // 200,000 empty frames in some 230 bytes are read within the budget.
  const QByteArray few = ZlibCompress(payload(200000, 200000));
  EXPECT_LT(few.size(), 400);
  EXPECT_EQ(ParseProjectStream(few, ProjectPiece, MaxProjectPayload, Budget).Frames.size(), 200000u);
  EXPECT_LE(200000 * empty, Budget);
  // A count the budget cannot hold is refused before any frame is read;
  // zeros that would inflate to many millions of frames are refused once the
  // budget is spent, also when the stream is damaged further on.
  QByteArray bomb = ZlibCompress(payload(40000000, 40000000));
  QByteArray damagedBomb = bomb;
  damagedBomb[damagedBomb.size() - 1] = char(damagedBomb[damagedBomb.size() - 1] ^ 1);
  for (const QByteArray& stream : {ZlibCompress(payload(INT32_MAX, 10)), bomb, damagedBomb})
    EXPECT_EQ(RefusalOf([&] { ParseProjectStream(stream, ProjectPiece, MaxProjectPayload, Budget); }),
              "its frames would need more than 64 MB of memory.");
}

}  // namespace

// The extension block: what it looks like, what it keeps, and which blocks
// are read, left out or refused, whole or inflated in pieces.
TEST_F(ProjectFileTest, TheExtensionBlockKeepsTheRateAndIsReadSkippedOrRefused) {
  const QByteArray plain = StartPayload();
  A.PlaybackInterval = 80;
  const QByteArray withRate = ProjectPayload(A);
  ASSERT_EQ(withRate.left(plain.size()), plain);
  EXPECT_EQ(withRate.mid(plain.size()).toHex(), "54564c58010c000000524154450400000050000000e50de41f");
  EXPECT_EQ(ParseProjectPayload(withRate).PlaybackInterval, 80);
  EXPECT_EQ(ParseProjectPayload(plain).PlaybackInterval, 0);

  // A block of Chunks, its CRC-32 right unless Flip says which byte to change after.
  const auto block = [&](const std::vector<TExtensionChunk>& Chunks, int Flip = -1) {
    QByteArray payload = plain;
    AppendExtensionBlock(payload, Chunks);
    if (Flip >= 0) payload[plain.size() + Flip] = static_cast<char>(payload[plain.size() + Flip] ^ 1);
    return payload;
  };
  const TExtensionChunk rate{"RATE", QByteArray::fromHex("50000000")};
  const TExtensionChunk newer{"SNDC", QByteArray(300, 'x')};
  struct TRow {
    const char* Name;
    QByteArray Payload;
    std::string Refusal;  // "read" when read
    int Interval;
    bool Skipped;
  };
  // A block laid out by hand: version, the chunks' bytes, their CRC-32 right.
  const auto raw = [&](uint8_t Version, const QByteArray& Chunks) {
    QByteArray bytes = "TVLX";
    TByteWriter out(bytes);
    out.Write<uint8_t>(Version);
    out.Write<uint32_t>(static_cast<uint32_t>(Chunks.size()));
    out.WriteBytes(Chunks.constData(), Chunks.size());
    out.Write<uint32_t>(Crc32(bytes.constData(), bytes.size()));
    return plain + bytes;
  };
  QByteArray cut = block({rate});
  cut.chop(3);
  const std::vector<TRow> rows{
      {"a chunk of a newer version", block({newer, rate}), "read", 80, true},
      {"a block of a newer version", raw(2, "anything"), "read", 0, true},
      {"bytes after the frames that are no block", plain + "junk", "read", 0, false},
      {"a changed byte", block({rate}, 14), "check sum does not match", 0, false},
      {"cut short", cut, "extension block ends early", 0, false},
      {"a chunk that overruns it", raw(1, QByteArray::fromHex("524154450800000050000000")), "runs past its end", 0,
       false},
      {"a chunk cut short", raw(1, "RATE"), "a chunk is cut short", 0, false},
      {"a rate that cannot be used", block({{"RATE", QByteArray::fromHex("00000000")}}), "cannot be used", 0, false},
  };
  for (const TRow& row : rows) {
    EXPECT_NE(Refusal(row.Payload).find(row.Refusal), std::string::npos) << row.Name << ": " << Refusal(row.Payload);
    if (row.Refusal != "read") continue;
    const TAnimation read = ParseProjectStream(ZlibCompress(row.Payload), 7);
    EXPECT_EQ(read.PlaybackInterval, row.Interval) << row.Name;
    EXPECT_EQ(read.SkippedNewerParts, row.Skipped) << row.Name;
  }
}

// Pins: the frames that have any, in the PINS chunk; a chunk that names a
// frame, a figure or a joint the project does not have is refused.
TEST_F(ProjectFileTest, PinsRoundTripAndPinsOfNothingAreRefused) {
  A.Frames = {TFigures(), TFigures(), TFigures()};
  for (TFigures& frame : A.Frames) frame.Items = {Stickman(100, 100), Stickman(200, 100)};
  A.Frames[1].Items[0].Pins = {2, 5};
  A.Frames[2].Items[1].Pins = {3};
  ExpectOneChunk("PINS", "0100000001000202050200000001010103");
  const TAnimation read = ParseProjectPayload(ProjectPayload(A));
  ASSERT_EQ(read.Frames.size(), 3u);
  for (std::size_t f = 0; f < 3; ++f)
    for (std::size_t i = 0; i < 2; ++i) EXPECT_EQ(read.Frames[f].Items[i].Pins, A.Frames[f].Items[i].Pins) << f << i;

  for (TFigures& frame : A.Frames)
    for (TFigure& figure : frame.Items) figure.Pins.clear();
  const QByteArray plain = ProjectPayload(A);
  const struct {
    const char* Name;
    const char* Hex;
    const char* Refusal;
  } rows[] = {
      {"frames out of order",
       "0200000001000102"
       "0100000001000102",
       "not one of its 3 frames in order"},
      {"a frame past the last", "0300000001000102", "not one of its 3 frames in order"},
      {"a figure the frame lacks", "0000000001020102", "figure 2 of a frame without it"},
      {"the root joint", "0000000001000100", "joint 0 of a figure"},
      {"a joint past the figure's", "00000000010001ff", "joint 255 of a figure"},
      {"joints out of order", "000000000100020402", "joint 2 of a figure"},
      {"pins cut short", "00000000010003", "Its pins"},
  };
  for (const auto& row : rows) {
    const std::string refusal = ChunkRefusal(plain, "PINS", row.Hex);
    EXPECT_NE(refusal.find(row.Refusal), std::string::npos) << row.Name << ": " << refusal;
  }
}

// Holds: the frames held longer than a tick, in the HOLD chunk; a hold
// outside 1 to 100 or of a frame the project does not have is refused.
TEST_F(ProjectFileTest, HoldsRoundTripAndImpossibleHoldsAreRefused) {
  A.Frames = {TFigures(), TFigures(), TFigures()};
  for (TFigures& frame : A.Frames) frame.Items = {Stickman(100, 100)};
  A.Frames[0].Hold = 3;
  A.Frames[2].Hold = 100;
  ExpectOneChunk("HOLD", "00000000030200000064");
  const TAnimation read = ParseProjectPayload(ProjectPayload(A));
  ASSERT_EQ(read.Frames.size(), 3u);
  EXPECT_EQ(std::vector<int>({read.Frames[0].Hold, read.Frames[1].Hold, read.Frames[2].Hold}),
            std::vector<int>({3, 1, 100}));

  for (TFigures& frame : A.Frames) frame.Hold = 1;
  const QByteArray plain = ProjectPayload(A);
  const struct {
    const char* Hex;
    const char* Refusal;
  } rows[] = {
      {"0100000000", "held for 0 ticks"},
      {"0100000065", "held for 101 ticks"},
      {"02000000020100000002", "not one of its 3 frames in order"},
      {"0300000002", "not one of its 3 frames in order"},
      {"01000000", "Its holds"},
  };
  for (const auto& row : rows) {
    const std::string refusal = ChunkRefusal(plain, "HOLD", row.Hex);
    EXPECT_NE(refusal.find(row.Refusal), std::string::npos) << row.Hex << ": " << refusal;
  }
}
