// Project extras: the side file NAME.kmd.json read, refused and written, keys of newer
// versions kept in place, and the document's change tracking of its extras.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

// A file as a person or a newer version might write it: keys in their own order, a key
// this version does not know before and after "sequences", unknown keys inside a
// sequence and a frame, and the optional "mode" and "delay" left out.
const char* const kHandWritten = R"({
  "layers": [{"name": "boss", "columns": 2, "rows": 2, "cells": [0, 1, 2, 3]}],
  "version": 1,
  "format": "kelmora-project-extras",
  "sequences": [
    {"name": "walk", "mode": "pingpong", "frames": [{"slot": 0, "delay": 6}, {"slot": 2, "flip": true}],
     "speedHint": [1, 2]},
    {"name": "idle", "frames": []},
    {"name": "blink", "mode": "once", "frames": [{"slot": 7, "delay": 255}, {"slot": 255, "delay": 1}]}
  ],
  "notes": {"0": "hero"}
})";

Sequence MakeSequence(const std::string& name, PlayMode mode, std::vector<std::pair<int, int>> frames)
{
    Sequence sequence;
    sequence.name = name;
    sequence.mode = mode;
    for (const auto& [slot, delay] : frames)
        sequence.frames.push_back({slot, delay, ""});
    return sequence;
}

} // namespace

TEST(ProjectExtras, HandWrittenFileReadAndWrittenBackWithEveryUnknownKeyInPlace)
{
    ProjectExtras extras;
    std::string message;
    ASSERT_TRUE(ParseProjectExtras(kHandWritten, extras, message)) << message;
    ASSERT_EQ(extras.sequences.size(), 3u);
    const Sequence& walk = extras.sequences[0];
    EXPECT_EQ(walk.name, "walk");
    EXPECT_EQ(walk.mode, PlayMode::PingPong);
    ASSERT_EQ(walk.frames.size(), 2u);
    EXPECT_EQ(walk.frames[0].slot, 0);
    EXPECT_EQ(walk.frames[0].delay, 6);
    EXPECT_EQ(walk.frames[1].slot, 2);
    EXPECT_EQ(walk.frames[1].delay, kDefaultFrameDelay); // left out: the default
    EXPECT_EQ(extras.sequences[1].mode, PlayMode::Loop); // left out: loop
    EXPECT_TRUE(extras.sequences[1].frames.empty());
    EXPECT_EQ(extras.sequences[2], MakeSequence("blink", PlayMode::Once, {{7, 255}, {255, 1}}));
    EXPECT_EQ(OtherExtrasKeys(extras), (std::vector<std::string>{"layers", "notes"}));

    // Written back: the record's keys where the file had them, the others as they were.
    const std::string text = SerialiseProjectExtras(extras);
    const std::size_t objects = text.find("\"layers\": [");
    const std::size_t version = text.find("\"version\": 1");
    const std::size_t format = text.find("\"format\": \"kelmora-project-extras\"");
    const std::size_t sequences = text.find("\"sequences\": [");
    const std::size_t names = text.find("\"notes\": {");
    ASSERT_NE(names, std::string::npos) << text;
    EXPECT_TRUE(objects < version && version < format && format < sequences && sequences < names) << text;
    EXPECT_NE(text.find("{\"slot\": 2, \"delay\": 4, \"flip\": true}"), std::string::npos) << text;
    EXPECT_NE(text.find("\"cells\": ["), std::string::npos) << text;

    // Read again, the same record; written again, the same text.
    ProjectExtras again;
    ASSERT_TRUE(ParseProjectExtras(text, again, message)) << message;
    EXPECT_EQ(again.sequences, extras.sequences);
    EXPECT_EQ(OtherExtrasKeys(again), OtherExtrasKeys(extras));
    EXPECT_EQ(SerialiseProjectExtras(again), text);

    // Editing the sequences rewrites only them.
    again.sequences.erase(again.sequences.begin());
    again.sequences[0].frames.push_back({3, 2, ""});
    ProjectExtras edited;
    ASSERT_TRUE(ParseProjectExtras(SerialiseProjectExtras(again), edited, message)) << message;
    EXPECT_EQ(edited.sequences, again.sequences);
    EXPECT_EQ(OtherExtrasKeys(edited), (std::vector<std::string>{"layers", "notes"}));
    EXPECT_TRUE(HasExtras(edited));
}

TEST(ProjectExtras, NewRecordWrittenInTheDocumentedLayout)
{
    ProjectExtras extras;
    EXPECT_FALSE(HasExtras(extras));
    EXPECT_EQ(SerialiseProjectExtras(extras),
              "{\n  \"format\": \"kelmora-project-extras\",\n  \"version\": 1,\n  \"sequences\": []\n}\n");

    extras.sequences.push_back(MakeSequence("walk", PlayMode::Loop, {{0, 4}, {2, 5}}));
    extras.sequences.push_back(MakeSequence("h\xC3\xA4ppy \"one\"", PlayMode::Once, {}));
    EXPECT_TRUE(HasExtras(extras));
    EXPECT_EQ(SerialiseProjectExtras(extras), R"({
  "format": "kelmora-project-extras",
  "version": 1,
  "sequences": [
    {
      "name": "walk",
      "mode": "loop",
      "frames": [
        {"slot": 0, "delay": 4},
        {"slot": 2, "delay": 5}
      ]
    },
    {
      "name": "häppy \"one\"",
      "mode": "once",
      "frames": []
    }
  ]
}
)");
}

TEST(ProjectExtras, RefusalsSayWhyAndLeaveTheRecordAsItWas)
{
    const std::string head = R"({"format": "kelmora-project-extras", "version": 1, )";
    const auto seq = [&head](const std::string& sequence)
    { return head + "\"sequences\": [" + sequence + "]}"; };
    std::string deep = head + "\"x\": ";
    for (int i = 0; i < 100; ++i)
        deep += "[";
    deep += std::string(100, ']') + "}";
    std::string tooMany = R"({"name": "long", "frames": [)";
    for (int i = 0; i <= kMaxSequenceFrames; ++i)
        tooMany += std::string(i ? "," : "") + "{\"slot\": 1}";
    tooMany += "]}";

    const struct
    {
        std::string text;
        std::string message; // a part of the message
    } cases[] = {
        {"", "is not valid JSON (parse error at line 1, column 1"},
        {R"({"format": "kelmora-project-extras", "version": 1,})",
         "is not valid JSON (parse error at line 1"},
        {"{\n\"format\": \"kelmora-project-extras\",\n\"version\": 1\n\"sequences\": []}",
         "parse error at line 4, column 1"},
        {head + "\"x\": 24e758}", "is not valid JSON (number overflow parsing '24e758')"},
        {"[1, 2]", "it holds a list, not a JSON object"},
        {R"({"version": 1})", "its \"format\" is missing, not \"kelmora-project-extras\""},
        {R"({"format": "kelmora-extras", "version": 1})", "its \"format\" is \"kelmora-extras\""},
        {R"({"format": 7, "version": 1})", "its \"format\" is 7"},
        {R"({"format": "kelmora-project-extras"})", "has no \"version\""},
        {R"({"format": "kelmora-project-extras", "version": 2, "sequences": {"new": "shape"}, "layers": []})",
         "was written by a newer version of Kelmora (extras version 2; this one reads version 1)"},
        {R"({"format": "kelmora-project-extras", "version": 18446744073709551615})", "extras version 1844"},
        {R"({"format": "kelmora-project-extras", "version": "1"})",
         "\"version\" is text, not a whole number"},
        {R"({"format": "kelmora-project-extras", "version": 1.5})",
         "\"version\" is a number with a fraction"},
        {R"({"format": "kelmora-project-extras", "version": 0})", "\"version\" 0 is not a version number"},
        {head + "\"sequences\": {\"walk\": []}}", "\"sequences\" is an object, not a list"},
        {seq("\"walk\""), "sequence 0 is text, not an object"},
        {seq(R"({"name": "a"}, {"frames": []})"), "sequence 1 has no \"name\""},
        {seq(R"({"name": 3})"), "sequence 0: \"name\" is a whole number, not text"},
        {seq(R"({"name": ""})"), "a sequence has no name"},
        {seq(R"({"name": "a\u0007b"})"), "the name holds a control character"},
        {seq(R"({"name": "walk", "mode": "bounce"})"),
         "sequence \"walk\": \"mode\" is \"bounce\", not \"loop\", \"pingpong\" or \"once\""},
        {seq(R"({"name": "walk", "mode": 1})"), "sequence \"walk\": \"mode\" is a whole number, not"},
        {seq(R"({"name": "walk", "frames": {"slot": 1}})"),
         "sequence \"walk\": \"frames\" is an object, not a list"},
        {seq(R"({"name": "walk", "frames": [3]})"),
         "sequence \"walk\", frame 0: it is a whole number, not an object with \"slot\" and \"delay\""},
        {seq(R"({"name": "walk", "frames": [{"slot": 1}, {"delay": 4}]})"),
         "sequence \"walk\", frame 1: it has no \"slot\""},
        {seq(R"({"name": "walk", "frames": [{"slot": "3"}]})"),
         "sequence \"walk\", frame 0: \"slot\" is text, not a whole number"},
        {seq(R"({"name": "walk", "frames": [{"slot": 256}]})"),
         "sequence \"walk\", frame 0: \"slot\" 256 is not 0..255"},
        {seq(R"({"name": "walk", "frames": [{"slot": -1}]})"), "\"slot\" -1 is not 0..255"},
        {seq(R"({"name": "walk", "frames": [{"slot": 1, "delay": 0}]})"), "\"delay\" 0 is not 1..255 ticks"},
        {seq(R"({"name": "walk", "frames": [{"slot": 1, "delay": 256}]})"),
         "\"delay\" 256 is not 1..255 ticks"},
        {seq(R"({"name": "walk", "frames": [{"slot": 1, "delay": 4.5}]})"),
         "\"delay\" is a number with a fraction, not a whole number"},
        {seq(R"({"name": "walk", "frames": [{"slot": 1, "delay": null}]})"), "\"delay\" is null"},
        {seq(R"({"name": "walk"}, {"name": "walk"})"), "two sequences are named \"walk\""},
        {seq(tooMany), "sequence \"long\": has 257 frames; at most 256 are allowed"},
        {deep, "nested more than 64 levels deep"},
    };

    ProjectExtras extras;
    extras.sequences.push_back(MakeSequence("kept", PlayMode::PingPong, {{5, 9}}));
    extras.readObject = R"({"format":"kelmora-project-extras","version":1,"other":1})";
    const std::vector<Sequence> before = extras.sequences;
    const std::string beforeObject = extras.readObject;
    for (const auto& c : cases)
    {
        std::string message;
        EXPECT_FALSE(ParseProjectExtras(c.text, extras, message)) << c.text;
        EXPECT_NE(message.find(c.message), std::string::npos) << c.text << "\n  gave: " << message;
        EXPECT_EQ(extras.sequences, before) << c.text;
        EXPECT_EQ(extras.readObject, beforeObject) << c.text;
    }
}

TEST(ProjectExtras, SideFileBesideTheProjectReadWrittenMissingAndRefused)
{
    TempFolder dir;
    const std::string project = dir.file("walker.kmd");
    EXPECT_EQ(ExtrasPathFor(project), project + ".json");

    // A document with its sprites loaded and extras of its own.
    Document document;
    document.bank.colourTransp = 3;
    document.bank.sprites[70] = 0x5A;
    document.extras.sequences.push_back(MakeSequence("walk", PlayMode::Loop, {{0, 4}, {2, 4}}));
    const Bytes sprites = document.spriteBlock;
    const ProjectExtras before = document.extras;
    std::string message;

    // No side file: normal, nothing changes.
    EXPECT_EQ(ReadProjectExtras(project, document.extras, message), ExtrasReadStatus::Missing);
    EXPECT_EQ(document.extras, before);

    // Each unusable side file: refused with the reason, the document untouched.
    const struct
    {
        const char* name;
        std::function<void(const std::string&)> make;
        const char* message;
    } refused[] = {
        {"broken JSON",
         [](const std::string& p) {
             WriteBytes(p, Bytes{'{', '"'});
         },
         "is not valid JSON"},
        {"wrong format",
         [](const std::string& p)
         {
             const std::string t = R"({"format": "other", "version": 1})";
             WriteBytes(p, Bytes(t.begin(), t.end()));
         },
         "is not a project extras file"},
        {"newer version",
         [](const std::string& p)
         {
             const std::string t = R"({"format": "kelmora-project-extras", "version": 3, "layers": [1]})";
             WriteBytes(p, Bytes(t.begin(), t.end()));
         },
         "newer version"},
        {"wrong type",
         [](const std::string& p)
         {
             const std::string t =
                 R"({"format": "kelmora-project-extras", "version": 1, "sequences": [{"name": "walk", "frames": [{"slot": true}]}]})";
             WriteBytes(p, Bytes(t.begin(), t.end()));
         },
         "sequence \"walk\", frame 0: \"slot\" is true or false"},
        {"a folder", [](const std::string& p) { fs::create_directory(p); },
         "could not be read: Is a directory"},
        {"too large",
         [](const std::string& p)
         {
             WriteBytes(p, Bytes{'{'});
             fs::resize_file(p, kMaxExtrasBytes + 1);
         },
         "is larger than 16 MiB"},
    };
    for (const auto& c : refused)
    {
        const std::string side = ExtrasPathFor(project);
        fs::remove_all(side);
        c.make(side);
        message.clear();
        EXPECT_EQ(ReadProjectExtras(project, document.extras, message), ExtrasReadStatus::Refused) << c.name;
        EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
        EXPECT_EQ(document.extras, before) << c.name;
        EXPECT_EQ(document.spriteBlock, sprites) << c.name;
        EXPECT_EQ(document.bank.colourTransp, 3) << c.name;
    }
    fs::remove_all(ExtrasPathFor(project));

    // Written and read back; a file that is in the way is replaced whole.
    WriteBytes(ExtrasPathFor(project), Bytes(100000, ' '));
    ASSERT_TRUE(WriteProjectExtras(project, document.extras));
    EXPECT_EQ(ReadBytes(ExtrasPathFor(project)).size(), SerialiseProjectExtras(document.extras).size());
    ProjectExtras read;
    ASSERT_EQ(ReadProjectExtras(project, read, message), ExtrasReadStatus::Read) << message;
    EXPECT_EQ(read.sequences, document.extras.sequences);
    EXPECT_FALSE(WriteProjectExtras(dir.file("no-such-folder/x.kmd"), document.extras));
}

TEST(ProjectExtras, DocumentCountsItsExtrasAsChanges)
{
    Document document;
    EXPECT_FALSE(HasChanges(document));
    document.extras.sequences.push_back(MakeSequence("walk", PlayMode::Loop, {{0, 4}}));
    EXPECT_TRUE(HasChanges(document));
    MarkSaved(document);
    EXPECT_FALSE(HasChanges(document));

    document.extras.sequences[0].frames[0].delay = 5;
    EXPECT_TRUE(HasChanges(document));
    document.extras.sequences[0].frames[0].delay = 4; // changed back: no change
    EXPECT_FALSE(HasChanges(document));
    document.extras.sequences[0].mode = PlayMode::Once;
    EXPECT_TRUE(HasChanges(document));
    document.extras.sequences[0].mode = PlayMode::Loop;
    document.extras.sequences[0].name = "run";
    EXPECT_TRUE(HasChanges(document));

    // A new document has no extras and counts as saved.
    ResetDocument(document);
    EXPECT_TRUE(document.extras.sequences.empty());
    EXPECT_FALSE(HasExtras(document.extras));
    EXPECT_FALSE(HasChanges(document));
}

TEST(ProjectExtras, ShippedWalkerSideFileIsInTheWritersLayout)
{
    const std::string project = std::string(KELMORA_SOURCE_DIR) + "/examples/walker.kmd";
    ProjectExtras extras;
    std::string message;
    ASSERT_EQ(ReadProjectExtras(project, extras, message), ExtrasReadStatus::Read) << message;
    ASSERT_EQ(extras.sequences.size(), 1u);
    const Sequence& walk = extras.sequences[0];
    EXPECT_EQ(walk.name, "walk");
    EXPECT_EQ(walk.mode, PlayMode::Loop);
    // The first slot of each of the eight overlay pairs: the frames the animator plays.
    TestBank bank;
    ASSERT_EQ(LoadProject(&bank.bank, project.c_str()), 1);
    EXPECT_EQ(walk.frames, FramesFromRange(bank.bank.sprites, 0, bank.bank.spriteCount - 1, 6));
    EXPECT_EQ(CheckSequenceSlots(walk, bank.bank.spriteCount), "");
    const Bytes file = ReadBytes(ExtrasPathFor(project));
    EXPECT_EQ(SerialiseProjectExtras(extras), std::string(file.begin(), file.end()));
}

TEST(ProjectExtras, ShippedRobotSideFileHoldsItsTwoObjectsInTheWritersLayout)
{
    const std::string project = std::string(KELMORA_SOURCE_DIR) + "/examples/robot.kmd";
    ProjectExtras extras;
    std::string message;
    ASSERT_EQ(ReadProjectExtras(project, extras, message), ExtrasReadStatus::Read) << message;
    TestBank bank;
    ASSERT_EQ(LoadProject(&bank.bank, project.c_str()), 1);
    // Each object is what New from Selection proposes for its eight sprites: four overlay pairs.
    ASSERT_EQ(extras.objects.size(), 2u);
    EXPECT_EQ(extras.objects[0], *ProposeObjectFromRange(bank.bank.sprites, 16, 0, 7, "robot"));
    EXPECT_EQ(extras.objects[1], *ProposeObjectFromRange(bank.bank.sprites, 16, 8, 15, "robot_blink"));
    ASSERT_EQ(extras.sequences.size(), 1u);
    EXPECT_EQ(CheckSequenceFrames(extras.sequences[0], extras.objects, bank.bank.spriteCount), "");
    const Bytes file = ReadBytes(ExtrasPathFor(project));
    EXPECT_EQ(SerialiseProjectExtras(extras), std::string(file.begin(), file.end()));
}

TEST(ProjectExtras, ObjectsNamesAndPresetsRoundTripAndAreRefusedWhenMalformed)
{
    ProjectExtras extras;
    ASSERT_TRUE(ParseProjectExtras(R"({"format": "kelmora-project-extras", "version": 1,
      "names": {"0": "hero", "17": "boss_head"},
      "objects": [{"name": "boss", "columns": 2, "rows": 1, "cells": [4, 5], "overlayCells": [6, 7]}],
      "exportPresets": {"game": {"dialect": "basic", "startLine": 100}}})",
                                   extras, *std::make_unique<std::string>()));
    EXPECT_EQ(SpriteName(extras, 17), "boss_head");
    EXPECT_EQ(SpriteName(extras, 1), "");
    ASSERT_EQ(extras.objects.size(), 1u);
    EXPECT_EQ(extras.objects[0].overlayCells, (std::vector<int>{6, 7}));
    const ListingPreset* preset = FindListingPreset(extras, "game");
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(preset->options.dialect, ListingDialect::Basic);
    EXPECT_EQ(preset->options.startLine, 100);
    EXPECT_TRUE(HasExtras(extras));

    // Written and read back, the record is the same; a record with none of these keys
    // writes none of them.
    ProjectExtras again;
    std::string message;
    ASSERT_TRUE(ParseProjectExtras(SerialiseProjectExtras(extras), again, message)) << message;
    EXPECT_EQ(again, extras);
    const std::string plain = SerialiseProjectExtras(ProjectExtras());
    EXPECT_EQ(plain.find("names"), std::string::npos);
    EXPECT_EQ(plain.find("objects"), std::string::npos);

    const std::string head = R"({"format": "kelmora-project-extras", "version": 1, )";
    const struct
    {
        std::string text;
        const char* message;
    } refused[] = {
        {head + R"("names": {"256": "x"}})", "\"names\": \"256\" is not a slot number 0..255"},
        {head + R"("names": {"07": "x"}})", "\"names\": \"07\" is not a slot number"},
        {head + R"("names": {"3": ""}})", "the name of slot 3 is empty"},
        {head + R"("names": {"3": "a\u0007b"}})", "the name of slot 3 holds a control character"},
        {head + R"("names": ["hero"]})", "\"names\" is a list, not an object"},
        {head + R"("objects": [{"name": "boss", "columns": 9, "rows": 1, "cells": []}]})", "boss"},
        {head + R"("exportPresets": {"game": {"dialect": 5}}})", "export preset \"game\""},
    };
    for (const auto& r : refused)
    {
        ProjectExtras kept = extras;
        EXPECT_FALSE(ParseProjectExtras(r.text, kept, message)) << r.text;
        EXPECT_NE(message.find(r.message), std::string::npos) << message;
        EXPECT_EQ(kept, extras);
    }
}

TEST(ProjectExtras, SequenceFramesMayNameObjects)
{
    const std::string head =
        R"({"format": "kelmora-project-extras", "version": 1, "sequences": [{"name": "stomp", "frames": )";
    ProjectExtras extras;
    std::string message;
    ASSERT_TRUE(ParseProjectExtras(head + R"([{"object": "boss", "delay": 8, "note": 1}, {"slot": 3}]}]})",
                                   extras, message))
        << message;
    const std::vector<SequenceFrame>& frames = extras.sequences[0].frames;
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].object, "boss");
    EXPECT_EQ(frames[0].delay, 8);
    EXPECT_EQ(frames[1].object, "");
    EXPECT_EQ(frames[1].slot, 3);
    // Written as it was read: the object's name in place of a slot, unknown keys kept.
    const std::string text = SerialiseProjectExtras(extras);
    EXPECT_NE(text.find(R"({"object": "boss", "delay": 8, "note": 1})"), std::string::npos) << text;
    EXPECT_NE(text.find(R"({"slot": 3, "delay": 4})"), std::string::npos) << text;
    ProjectExtras again;
    ASSERT_TRUE(ParseProjectExtras(text, again, message)) << message;
    EXPECT_EQ(again, extras);

    const struct
    {
        const char* frames;
        const char* message;
    } refused[] = {
        {R"([{"object": "boss", "slot": 2}])", "frame 0: it names both a \"slot\" and an \"object\""},
        {R"([{"object": ""}])", "frame 0: \"object\" is empty, not the name of an object"},
        {R"([{"object": 7}])", "frame 0: \"object\" is a whole number, not the name of an object"},
        {R"([{"delay": 2}])", "frame 0: it has no \"slot\""},
    };
    for (const auto& r : refused)
    {
        ProjectExtras kept = extras;
        EXPECT_FALSE(ParseProjectExtras(head + r.frames + "}]}", kept, message)) << r.frames;
        EXPECT_NE(message.find(r.message), std::string::npos) << message;
        EXPECT_EQ(kept, extras);
    }
}

TEST(ProjectExtras, UndoAndRedoCarryTheExtrasWithTheSprites)
{
    Document document;
    document.extras.names[0] = "first";
    RecordUndoStep(document); // a rename alone is a step of its own
    document.bank.sprites[0] = 0xFF;
    document.extras.sequences.push_back(MakeSequence("walk", PlayMode::Loop, {{0, 4}}));
    RecordUndoStep(document);

    ASSERT_TRUE(UndoStep(document));
    EXPECT_EQ(document.bank.sprites[0], 0x00);
    EXPECT_TRUE(document.extras.sequences.empty());
    EXPECT_EQ(SpriteName(document.extras, 0), "first");
    ASSERT_TRUE(UndoStep(document));
    EXPECT_TRUE(document.extras.names.empty());
    EXPECT_FALSE(HasChanges(document));
    ASSERT_TRUE(RedoStep(document));
    ASSERT_TRUE(RedoStep(document));
    EXPECT_EQ(document.extras.sequences.size(), 1u);
    EXPECT_TRUE(HasChanges(document));

    // A step recorded without extras keeps those shown.
    HistoryPush(document.history, document.bank.sprites);
    EXPECT_EQ(HistoryExtras(document.history)->sequences.size(), 1u);
}

TEST(ProjectExtras, ProjectAndSideFileAreSavedTogetherOrNotAtAll)
{
    TempFolder dir;
    const std::string project = dir.file("walker.kmd");
    Document document;
    document.bank.sprites[1] = 0x42;
    document.extras.names[0] = "hero";
    FileResult why;
    ASSERT_EQ(SaveProjectWithExtras(&document.bank, &document.extras, project.c_str(), &why), 1);
    ProjectExtras read;
    std::string message;
    ASSERT_EQ(ReadProjectExtras(project, read, message), ExtrasReadStatus::Read);
    EXPECT_EQ(read, document.extras);
    const Bytes savedProject = ReadBytes(project);
    const Bytes savedSide = ReadBytes(project + ".json");

    // The side file cannot be replaced (a folder stands at a second project's side file):
    // neither file changes, and the failure names the side file.
    const std::string other = dir.file("other.kmd");
    WriteBytes(other, savedProject);
    fs::create_directory(other + ".json");
    document.bank.sprites[1] = 0x43;
    bool sideFailed = false;
    EXPECT_EQ(SaveProjectWithExtras(&document.bank, &document.extras, other.c_str(), &why, &sideFailed), 0);
    EXPECT_TRUE(sideFailed);
    EXPECT_EQ(why.error, FileError::IsFolder);
    EXPECT_EQ(ReadBytes(other), savedProject);

    // Without extras only the project is written; its old side file stays.
    ASSERT_EQ(SaveProjectWithExtras(&document.bank, nullptr, project.c_str(), &why), 1);
    EXPECT_NE(ReadBytes(project), savedProject);
    EXPECT_EQ(ReadBytes(project + ".json"), savedSide);
}
