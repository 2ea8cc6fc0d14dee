// Reads the plain-text score (see SCORE-FORMAT.md) into a Score.
#include "score.h"

#include <cctype>
#include <charconv>
#include <map>
#include <optional>

namespace songc {

int Sequence::At(int frame, int fallback) const
{
    if (values.empty()) return fallback;
    if (frame < Length()) return values[static_cast<size_t>(frame)];
    if (loop < 0) return values.back();
    const int span = Length() - loop;
    return values[static_cast<size_t>(loop + (frame - loop) % span)];
}

int ParseNoteName(std::string_view text)
{
    if (text.size() != 3) return -1;
    static constexpr int steps[7] = {9, 11, 0, 2, 4, 5, 7};   // A B C D E F G
    const char letter = text[0];
    if (letter < 'A' || letter > 'G') return -1;
    int semitone = steps[letter - 'A'];
    if (text[1] == '#') {
        ++semitone;
    } else if (text[1] == 'b') {
        --semitone;
    } else if (text[1] != '-') {
        return -1;
    }
    if (text[2] < '0' || text[2] > '8') return -1;
    return (text[2] - '0' + 1) * 12 + semitone;
}

namespace {

struct Token {
    std::string text;
    int line;
};

using Line = std::vector<Token>;

// Splits the text into lines of whitespace-separated tokens. A '#' at the
// start of a token begins a comment (a '#' inside a token, as in "C#4", does not).
std::vector<Line> Tokenise(std::string_view text)
{
    std::vector<Line> lines;
    int lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++lineNumber;
        Line tokens;
        size_t i = start;
        while (i < end) {
            while (i < end && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r')) ++i;
            if (i >= end || text[i] == '#') break;
            size_t j = i;
            while (j < end && text[j] != ' ' && text[j] != '\t' && text[j] != '\r') ++j;
            tokens.push_back({std::string(text.substr(i, j - i)), lineNumber});
            i = j;
        }
        if (!tokens.empty()) lines.push_back(std::move(tokens));
        if (end == text.size()) break;
        start = end + 1;
    }
    return lines;
}

std::optional<int> ToInt(std::string_view text)
{
    int value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || first == last) return std::nullopt;
    return value;
}

int NeedInt(const Token& token, int low, int high, const char* what)
{
    const std::optional<int> value = ToInt(token.text);
    if (!value) throw ScoreError(token.line, std::string(what) + ": '" + token.text + "' is not a number");
    if (*value < low || *value > high) {
        throw ScoreError(token.line, std::string(what) + " " + token.text + " is outside " + std::to_string(low) +
                                         ".." + std::to_string(high));
    }
    return *value;
}

// "count*N" repeats: returns the count and strips the suffix from `text`.
int SplitRepeat(const Token& token, std::string& text)
{
    text = token.text;
    const size_t star = text.rfind('*');
    if (star == std::string::npos) return 1;
    const int count = NeedInt({text.substr(star + 1), token.line}, 1, 4096, "repeat count");
    text.resize(star);
    return count;
}

// Reads a sequence from the tokens after the keyword. `|` marks where the
// sequence loops back to; each value may carry a "*N" repeat.
template <typename ValueReader>
Sequence ReadSequence(const Line& line, ValueReader read)
{
    Sequence seq;
    for (size_t i = 1; i < line.size(); ++i) {
        const Token& token = line[i];
        if (token.text == "|") {
            if (seq.loop >= 0) throw ScoreError(token.line, "a sequence has only one loop mark '|'");
            seq.loop = seq.Length();
            continue;
        }
        std::string text;
        const int count = SplitRepeat(token, text);
        const int value = read(Token{text, token.line});
        seq.values.insert(seq.values.end(), static_cast<size_t>(count), value);
    }
    if (seq.values.empty()) throw ScoreError(line[0].line, "'" + line[0].text + "' needs at least one value");
    if (seq.loop == seq.Length()) throw ScoreError(line[0].line, "nothing follows the loop mark '|'");
    return seq;
}

int ReadVolume(const Token& token)
{
    if (!token.text.empty() && token.text[0] == 'e') {
        const int level = token.text.size() == 1 ? 0 : NeedInt({token.text.substr(1), token.line}, 0, 15, "level");
        return EnvelopeModeBit | level;
    }
    return NeedInt(token, 0, 15, "volume");
}

int ReadNoise(const Token& token)
{
    if (token.text == "-") return NoiseOff;
    return NeedInt(token, 0, 31, "noise period");
}

int ChannelIndex(const Token& token)
{
    if (token.text == "A") return 0;
    if (token.text == "B") return 1;
    if (token.text == "C") return 2;
    throw ScoreError(token.line, "channel must be A, B or C, not '" + token.text + "'");
}

class Parser {
public:
    explicit Parser(std::string_view text) : lines_(Tokenise(text)) {}

    Score Run()
    {
        while (next_ < lines_.size()) {
            const Line& line = lines_[next_++];
            const std::string& word = line[0].text;
            if (word == "title") {
                std::string title;
                for (size_t i = 1; i < line.size(); ++i) title += (i > 1 ? " " : "") + line[i].text;
                score_.title = title;
            } else if (word == "tempo") {
                ExpectArguments(line, 1, 16);
                score_.rowFrames.clear();
                for (size_t i = 1; i < line.size(); ++i) score_.rowFrames.push_back(NeedInt(line[i], 1, 64, "tempo"));
            } else if (word == "instrument" || word == "drum") {
                ReadInstrument(line, word == "drum");
            } else if (word == "track" || word == "drums") {
                ReadTrack(line, word == "drums");
            } else if (word == "order") {
                ExpectArguments(line, 0, 0);
                ReadOrder(line);
            } else {
                throw ScoreError(line[0].line, "unknown keyword '" + word + "'");
            }
        }
        ResolveInstruments();
        if (score_.order.empty()) throw ScoreError(0, "the score has no order list");
        return std::move(score_);
    }

private:
    static void ExpectArguments(const Line& line, size_t low, size_t high)
    {
        const size_t n = line.size() - 1;
        if (n < low || n > high) {
            throw ScoreError(line[0].line, "'" + line[0].text + "' takes " +
                                               (low == high ? std::to_string(low)
                                                            : std::to_string(low) + " to " + std::to_string(high)) +
                                               " argument(s), not " + std::to_string(n));
        }
    }

    // The lines of a block up to its "end"; `opener` is the line that began it.
    std::vector<const Line*> Block(const Line& opener)
    {
        std::vector<const Line*> body;
        while (next_ < lines_.size()) {
            const Line& line = lines_[next_++];
            if (line[0].text == "end" && line.size() == 1) return body;
            body.push_back(&line);
        }
        throw ScoreError(opener[0].line, "'" + opener[0].text + "' block is missing its 'end'");
    }

    void CheckNewName(const Token& name, const std::map<std::string, int>& names, const char* kind)
    {
        for (const char c : name.text) {
            if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) {
                throw ScoreError(name.line,
                                 std::string(kind) + " name '" + name.text + "' may hold only letters, digits and '_'");
            }
        }
        if (names.count(name.text))
            throw ScoreError(name.line, std::string(kind) + " '" + name.text + "' is defined twice");
    }

    void ReadInstrument(const Line& opener, bool drum)
    {
        ExpectArguments(opener, drum ? 2 : 1, drum ? 2 : 1);
        CheckNewName(opener[1], instrumentNames_, drum ? "drum" : "instrument");
        Instrument ins;
        ins.name = opener[1].text;
        ins.line = opener[0].line;
        ins.drum = drum;
        if (drum) ins.channel = ChannelIndex(opener[2]);
        for (const Line* body : Block(opener)) {
            const Line& line = *body;
            const std::string& key = line[0].text;
            auto number = [](const Token& t) { return NeedInt(t, -4095, 4095, "value"); };
            if (key == "volume") {
                ins.volume = ReadSequence(line, ReadVolume);
            } else if (key == "release") {
                ins.release = ReadSequence(line, ReadVolume);
            } else if (key == "arp") {
                ins.arp = ReadSequence(line, [](const Token& t) { return NeedInt(t, -48, 48, "arp offset"); });
            } else if (key == "pitch") {
                ins.pitch = ReadSequence(line, number);
            } else if (key == "noise") {
                ins.noise = ReadSequence(line, ReadNoise);
            } else if (key == "tone") {
                ins.tone = ReadSequence(line, [](const Token& t) { return NeedInt(t, 0, 1, "tone"); });
            } else if (key == "arpspeed") {
                ExpectArguments(line, 1, 1);
                ins.arpSpeed = NeedInt(line[1], 1, 16, "arpspeed");
            } else if (key == "vibrato") {
                ExpectArguments(line, 3, 3);
                ins.vibratoDelay = NeedInt(line[1], 0, 1000, "vibrato delay");
                ins.vibratoDepth = NeedInt(line[2], 0, 100, "vibrato depth");
                ins.vibratoPeriod = NeedInt(line[3], 2, 200, "vibrato period");
            } else if (key == "envelope") {
                // envelope SHAPE period N | envelope SHAPE ratio N
                ExpectArguments(line, 3, 3);
                ins.envelopeShape = NeedInt(line[1], 0, 15, "envelope shape");
                if (line[2].text == "period") {
                    ins.envelopePeriod = NeedInt(line[3], 1, 65535, "envelope period");
                } else if (line[2].text == "ratio") {
                    ins.envelopeRatio = NeedInt(line[3], 1, 64, "envelope ratio");
                } else {
                    throw ScoreError(line[2].line,
                                     "envelope needs 'period N' or 'ratio N', not '" + line[2].text + "'");
                }
            } else if (key == "note") {
                ExpectArguments(line, 1, 1);
                ins.fixedNote = ParseNoteName(line[1].text);
                if (ins.fixedNote < 0) throw ScoreError(line[1].line, "'" + line[1].text + "' is not a note");
            } else {
                throw ScoreError(line[0].line, "unknown instrument setting '" + key + "'");
            }
        }
        if (ins.volume.Empty()) throw ScoreError(ins.line, "'" + ins.name + "' has no volume sequence");
        bool usesEnvelope = false;
        for (const Sequence* seq : {&ins.volume, &ins.release}) {
            for (const int v : seq->values) usesEnvelope |= (v & EnvelopeModeBit) != 0;
        }
        if (usesEnvelope && ins.envelopeShape < 0) {
            throw ScoreError(ins.line, "'" + ins.name + "' plays in envelope mode ('e') but has no 'envelope' line");
        }
        if (drum) {
            if (ins.volume.loop >= 0)
                throw ScoreError(ins.line, "drum '" + ins.name + "' must end: its volume cannot loop");
            if (ins.fixedNote < 0) throw ScoreError(ins.line, "drum '" + ins.name + "' needs a 'note'");
        }
        instrumentNames_[ins.name] = static_cast<int>(score_.instruments.size());
        score_.instruments.push_back(std::move(ins));
    }

    // One row of a melodic track: ".", "=", "^" or NOTE[:instrument][,effect...]
    Cell ReadMelodicCell(const Token& token, const std::string& text)
    {
        Cell cell;
        cell.line = token.line;
        if (text == ".") return cell;
        if (text == "=") {
            cell.kind = Cell::Release;
            return cell;
        }
        if (text == "^") {
            cell.kind = Cell::Cut;
            return cell;
        }
        std::vector<std::string> parts;
        size_t start = 0;
        for (;;) {
            const size_t comma = text.find(',', start);
            parts.push_back(text.substr(start, comma - start));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        std::string head = parts[0];
        std::string instrument;
        if (const size_t colon = head.find(':'); colon != std::string::npos) {
            instrument = head.substr(colon + 1);
            head.resize(colon);
        }
        cell.kind = Cell::Note;
        cell.note = ParseNoteName(head);
        if (cell.note < 0) throw ScoreError(token.line, "'" + head + "' is not a note (write e.g. A-4, C#3, Bb2)");
        if (!instrument.empty()) cell.instrument = PendingInstrument(instrument, token.line);
        for (size_t i = 1; i < parts.size(); ++i) {
            const std::string& fx = parts[i];
            if (fx.size() >= 2 && fx[0] == 'x') {
                cell.chord.push_back(0);
                for (size_t k = 1; k < fx.size(); ++k) {
                    const char c = fx[k];
                    const int step = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
                    if (step < 0) throw ScoreError(token.line, "arpeggio '" + fx + "' takes hex digits 0-9, a-f");
                    cell.chord.push_back(step);
                }
            } else if (fx.size() >= 2 && fx[0] == 'v') {
                cell.volumeCap = NeedInt({fx.substr(1), token.line}, 0, 15, "row volume");
            } else {
                throw ScoreError(token.line, "unknown effect '" + fx + "' (known: xNNN arpeggio, vN volume)");
            }
        }
        return cell;
    }

    int PendingInstrument(const std::string& name, int line)
    {
        pendingNames_.push_back({name, line});
        return -2 - static_cast<int>(pendingNames_.size() - 1);
    }

    void ReadTrack(const Line& opener, bool drums)
    {
        ExpectArguments(opener, 1, 1);
        CheckNewName(opener[1], trackNames_, "track");
        Track track;
        track.name = opener[1].text;
        track.drums = drums;
        track.line = opener[0].line;
        for (const Line* body : Block(opener)) {
            for (const Token& token : *body) {
                if (token.text == "|") continue;   // bar lines, for the eye
                std::string text;
                const int count = SplitRepeat(token, text);
                Cell cell;
                if (drums) {
                    cell.line = token.line;
                    if (text != ".") {
                        cell.kind = Cell::Note;
                        cell.instrument = PendingInstrument(text, token.line);
                    }
                } else {
                    cell = ReadMelodicCell(token, text);
                }
                track.rows.insert(track.rows.end(), static_cast<size_t>(count), cell);
            }
        }
        if (track.rows.empty()) throw ScoreError(track.line, "track '" + track.name + "' has no rows");
        trackNames_[track.name] = static_cast<int>(score_.tracks.size());
        score_.tracks.push_back(std::move(track));
    }

    void ReadOrder(const Line& opener)
    {
        for (const Line* body : Block(opener)) {
            const Line& line = *body;
            if (line.size() != ColumnCount) {
                throw ScoreError(line[0].line, "an order line names 4 tracks (A B C drums, '-' to rest), not " +
                                                   std::to_string(line.size()));
            }
            OrderStep step;
            step.line = line[0].line;
            int rows = -1;
            for (int c = 0; c < ColumnCount; ++c) {
                std::string name = line[static_cast<size_t>(c)].text;
                if (name == "-") continue;
                if (const size_t sign = name.find_first_of("+-", 1); sign != std::string::npos) {
                    if (c == DrumColumn) throw ScoreError(line[0].line, "drum tracks cannot be transposed");
                    step.transpose[c] = NeedInt({name.substr(sign), line[0].line}, -48, 48, "transpose");
                    name.resize(sign);
                }
                const auto found = trackNames_.find(name);
                if (found == trackNames_.end()) throw ScoreError(line[0].line, "unknown track '" + name + "'");
                const Track& track = score_.tracks[static_cast<size_t>(found->second)];
                if (track.drums != (c == DrumColumn)) {
                    throw ScoreError(line[0].line, "track '" + name + "' is " + (track.drums ? "a drum" : "a melodic") +
                                                       " track: drum tracks go in the 4th column, and only there");
                }
                const int length = static_cast<int>(track.rows.size());
                if (rows >= 0 && length != rows) {
                    throw ScoreError(line[0].line, "tracks of one order line must be equally long: '" + name +
                                                       "' has " + std::to_string(length) + " rows, an earlier one " +
                                                       std::to_string(rows));
                }
                rows = length;
                step.track[c] = found->second;
            }
            if (rows < 0) throw ScoreError(line[0].line, "an order line needs at least one track");
            score_.order.push_back(step);
        }
    }

    void ResolveInstruments()
    {
        for (Track& track : score_.tracks) {
            for (Cell& cell : track.rows) {
                if (cell.instrument > -2) continue;
                const auto& [name, line] = pendingNames_[static_cast<size_t>(-2 - cell.instrument)];
                const auto found = instrumentNames_.find(name);
                if (found == instrumentNames_.end()) {
                    throw ScoreError(line,
                                     std::string(track.drums ? "unknown drum '" : "unknown instrument '") + name + "'");
                }
                const Instrument& ins = score_.instruments[static_cast<size_t>(found->second)];
                if (ins.drum != track.drums) {
                    throw ScoreError(line, "'" + name + "' is " +
                                               (ins.drum ? "a drum: use it in a drums track"
                                                         : "not a drum: drums tracks play drums"));
                }
                cell.instrument = found->second;
            }
        }
    }

    std::vector<Line> lines_;
    size_t next_ = 0;
    Score score_;
    std::map<std::string, int> instrumentNames_;
    std::map<std::string, int> trackNames_;
    std::vector<std::pair<std::string, int>> pendingNames_;
};

// A score is text: a control code other than tab, carriage return and line
// feed means a file that is not a score (a song, a picture) was given.
void CheckIsText(std::string_view text)
{
    int line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            ++line;
            lineStart = i + 1;
        } else if ((byte < 0x20 && byte != '\t' && byte != '\r') || byte == 0x7F) {
            static const char Hex[] = "0123456789abcdef";
            throw ScoreError(line, std::string("not a text score: byte 0x") + Hex[byte >> 4] + Hex[byte & 15] +
                                       " at column " + std::to_string(i - lineStart + 1));
        }
    }
}

}   // namespace

Score ParseScore(std::string_view text)
{
    CheckIsText(text);
    return Parser(text).Run();
}

}   // namespace songc
