#include "savegame/codec.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "common/int_range.h"
#include "savegame/messages.h"

namespace kestro::savegame {
namespace {

void put16(SaveBytes& b, std::size_t at, std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    b[at] = static_cast<std::uint8_t>(u & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>(u >> 8);
}

void put32(SaveBytes& b, std::size_t at, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (std::size_t i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>((u >> (8 * i)) & 0xFF);
    }
}

std::int16_t get16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)));
}

std::int32_t get32(std::span<const std::uint8_t> b, std::size_t at) {
    std::uint32_t u = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        u |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    }
    return static_cast<std::int32_t>(u);
}

bool fits16(std::int32_t v) {
    return fitsIn<std::int16_t>(v);
}

// Whether a part of the file is accepted.
using Checked = Result<void, Refusal>;

Refusal refuse(RefusalKind kind, const std::string& what) {
    return Refusal{kind, what};
}

std::string cell(std::int32_t x, std::int32_t y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

SaveBytes encodeParts(const Tiles& tiles, const StoredVariables& v, const SliderValues& sl,
                      std::int32_t key) {
    SaveBytes b{};
    std::copy(kTag.begin(), kTag.end(), b.begin());
    put16(b, kDimensionsOffset, kLastColumn);
    put16(b, kDimensionsOffset + 2, kLastRow);
    put32(b, kKeyOffset, key ^ keyMask);
    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            put32(b, tileOffset(x, y), std::int32_t{tiles.at(x, y)} ^ y ^ x ^ key);
        }
    }
    // Each 16-bit value is widened with its sign before it is combined.
    const std::int32_t fields[kVariableCount] = {
        v.cursorX ^ key,     v.cursorY ^ v.cursorX ^ key,
        v.scanX ^ key,       v.scanY ^ v.scanX ^ key,
        v.lastX ^ key,       v.lastY ^ v.lastX ^ key,
        v.nextX ^ key,       v.nextY ^ v.nextX ^ key,
        v.ballX ^ key,       v.ballY ^ v.ballX ^ key,
        v.minInterval ^ key, v.ballInterval ^ key,
        v.accelStep ^ key,   v.scatterCount ^ key,
        v.bankedScore ^ key, v.score ^ key ^ v.bankedScore,
    };
    for (std::size_t i = 0; i < kVariableCount; ++i) {
        put32(b, kVariablesOffset + 4 * i, fields[i]);
    }
    put32(b, kSlidersOffset, sl.SSpeed ^ key);
    put32(b, kSlidersOffset + 4, sl.SAccel ^ sl.SSpeed ^ key);
    put32(b, kSlidersOffset + 8, sl.SLvl ^ sl.SSpeed ^ key);
    return b;
}

// Reads the sixteen variable records in file order; the first value outside the 16 bits of a
// 16-bit variable refuses the file.
Checked decodeVariables(std::span<const std::uint8_t> b, std::int32_t key, StoredVariables& v) {
    std::size_t at = kVariablesOffset;
    auto next = [&] {
        const std::int32_t field = get32(b, at);
        at += 4;
        return field;
    };
    std::optional<Refusal> refusal;
    // The first of a pair: stored ^ K; the second: stored ^ first ^ K.
    auto narrow = [&](std::int16_t& out, std::int32_t decoded, const char* name) {
        if (refusal) {
            return;
        }
        if (!fits16(decoded)) {
            refusal = refuse(RefusalKind::ValueOutOfRange, std::string(name) + " decodes to " +
                                                               std::to_string(decoded) +
                                                               ", outside -32768..32767.");
            return;
        }
        out = static_cast<std::int16_t>(decoded);
    };
    narrow(v.cursorX, next() ^ key, "cursorX");
    narrow(v.cursorY, next() ^ v.cursorX ^ key, "cursorY");
    narrow(v.scanX, next() ^ key, "scanX");
    narrow(v.scanY, next() ^ v.scanX ^ key, "scanY");
    narrow(v.lastX, next() ^ key, "lastX");
    narrow(v.lastY, next() ^ v.lastX ^ key, "lastY");
    narrow(v.nextX, next() ^ key, "nextX");
    narrow(v.nextY, next() ^ v.nextX ^ key, "nextY");
    narrow(v.ballX, next() ^ key, "ballX");
    narrow(v.ballY, next() ^ v.ballX ^ key, "ballY");
    narrow(v.minInterval, next() ^ key, "minInterval");
    narrow(v.ballInterval, next() ^ key, "ballInterval");
    narrow(v.accelStep, next() ^ key, "accelStep");
    narrow(v.scatterCount, next() ^ key, "scatterCount");
    if (refusal) {
        return Checked::failure(std::move(*refusal));
    }
    v.bankedScore = next() ^ key;
    v.score = next() ^ key ^ v.bankedScore;
    return Checked::success();
}

// The cells the game indexes the grid with must lie on it.
Checked checkCells(const StoredVariables& v) {
    struct Cell {
        std::int16_t x, y;
        const char* what;
    };
    const Cell cells[] = {
        {v.ballX, v.ballY, "the ball's cell"},
        {v.lastX, v.lastY, "the ball's previous cell"},
        {v.nextX, v.nextY, "the ball's next cell"},
        {v.cursorX, v.cursorY, "the pointer's wall cell"},
    };
    for (const auto& c : cells) {
        if (!insideGrid(c.x, c.y)) {
            return Checked::failure(
                refuse(RefusalKind::CellOutsideGrid,
                       std::string(c.what) + " " + cell(c.x, c.y) +
                           " lies outside the grid (columns 0..58, rows 0..46)."));
        }
    }
    return Checked::success();
}

// A slider would adjust a value outside its range, and the adjusted SSpeed would change the
// decoding of SAccel and SLvl; such a file is refused instead.
Checked decodeSliders(std::span<const std::uint8_t> b, std::int32_t key, SliderValues& sl) {
    struct Record {
        std::int32_t& out;
        std::int32_t decoded;
        const SliderSetting& setting;
    };
    const std::int32_t speed = get32(b, kSlidersOffset) ^ key;
    const Record records[] = {
        {sl.SSpeed, speed, kSpeedSlider},
        {sl.SAccel, get32(b, kSlidersOffset + 4) ^ speed ^ key, kAccelSlider},
        {sl.SLvl, get32(b, kSlidersOffset + 8) ^ speed ^ key, kLevelSlider},
    };
    for (const auto& r : records) {
        if (!r.setting.contains(r.decoded)) {
            return Checked::failure(refuse(
                RefusalKind::SliderOutOfRange,
                "the slider " + std::string(r.setting.name) + " decodes to " +
                    std::to_string(r.decoded) + ", outside its range " +
                    std::to_string(r.setting.min) + ".." + std::to_string(r.setting.max) + "."));
        }
        r.out = r.decoded;
    }
    return Checked::success();
}

}  // namespace

StoredVariables storedVariables(const GameState& s) {
    StoredVariables v;
    v.cursorX = s.cursorX;
    v.cursorY = s.cursorY;
    v.scanX = s.scanX;
    v.scanY = s.scanY;
    v.lastX = s.lastX;
    v.lastY = s.lastY;
    v.nextX = s.nextX;
    v.nextY = s.nextY;
    v.ballX = s.ballX;
    v.ballY = s.ballY;
    v.minInterval = s.minInterval;
    v.ballInterval = s.ballInterval;
    v.accelStep = s.accelStep;
    v.scatterCount = s.scatterCount;
    v.bankedScore = s.bankedScore;
    v.score = s.score;
    return v;
}

SaveBytes encode(const GameState& s, const SliderValues& sliders, std::int32_t fileKey) {
    return encodeParts(s.tiles, storedVariables(s), sliders, fileKey);
}

SaveBytes encode(const DecodedGame& g) {
    return encodeParts(g.tiles, g.variables, g.sliders, g.fileKey);
}

DecodeResult decode(std::span<const std::uint8_t> b) {
    if (b.size() >= kTag.size() && !std::equal(kTag.begin(), kTag.end(), b.begin())) {
        return DecodeResult::failure(
            Refusal{RefusalKind::WrongVersion, "it does not begin with the version tag"});
    }
    if (b.size() < kFileSize) {
        return DecodeResult::failure(
            refuse(RefusalKind::WrongSize, "it holds only " + std::to_string(b.size()) +
                                               " bytes, and a saved game holds " +
                                               std::to_string(kFileSize) + "."));
    }
    // Bytes behind the game are left over from a longer file the game was saved over.
    b = b.first(kFileSize);

    DecodedGame g;
    g.dimensionsTampered =
        get16(b, kDimensionsOffset) != kLastColumn || get16(b, kDimensionsOffset + 2) != kLastRow;
    const std::int32_t key = get32(b, kKeyOffset) ^ keyMask;
    g.fileKey = key;

    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            const std::int32_t code = get32(b, tileOffset(x, y)) ^ y ^ x ^ key;
            if (!fits16(code)) {
                return DecodeResult::failure(refuse(
                    RefusalKind::ValueOutOfRange,
                    "the tile at column " + std::to_string(x) + ", row " + std::to_string(y) +
                        " decodes to " + std::to_string(code) + ", outside -32768..32767."));
            }
            g.tiles.set(x, y, static_cast<std::int16_t>(code));
        }
    }
    if (const auto r = decodeVariables(b, key, g.variables); !r) {
        return DecodeResult::failure(r.error());
    }
    if (const auto r = checkCells(g.variables); !r) {
        return DecodeResult::failure(r.error());
    }
    if (const auto r = decodeSliders(b, key, g.sliders); !r) {
        return DecodeResult::failure(r.error());
    }
    return DecodeResult::success(g);
}

}  // namespace kestro::savegame
