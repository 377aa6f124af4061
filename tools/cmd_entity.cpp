// kestro-sim entity: the text form of an entity, written from its fields or read back.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

#include "common/runtime_error.h"
#include "render/entity.h"
#include "render/numbers.h"
#include "render/routines.h"
#include "tools/cli.h"
#include "tools/commands.h"

namespace kestro::sim {

namespace {

// A decimal number (optional sign, fraction, exponent) as the single nearest to it.
float parseCoordinate(const std::string& text, const std::string& name) {
    const auto bad = [&] { return CliError(name + " needs a decimal number, not '" + text + "'"); };
    std::string_view body(text);
    std::string_view magnitude = body;
    if (!magnitude.empty() && (magnitude.front() == '+' || magnitude.front() == '-')) {
        magnitude.remove_prefix(1);
    }
    if (magnitude.empty() ||
        !(magnitude.front() == '.' || (magnitude.front() >= '0' && magnitude.front() <= '9'))) {
        throw bad();
    }
    if (body.front() == '+') {
        body.remove_prefix(1);
    }
    float value = 0.0f;
    const auto [end, err] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (end != body.data() + body.size()) {
        throw bad();
    }
    if (err == std::errc()) {
        return value;
    }
    if (err != std::errc::result_out_of_range) {
        throw bad();
    }
    // Too small for a single reads as the nearest single (zero); too large is an error.
    try {
        const double wide = readNumber(body);
        if (std::fabs(wide) < 1.0) {
            return static_cast<float>(wide);
        }
    } catch (const RuntimeError&) {
    }
    throw CliError(name + " lies outside the single range: " + text);
}

int encode(const Args& args) {
    if (args.size() != 7) {
        throw CliError("needs X1 X2 Y1 Y2 FLAGS TEXT");
    }
    renderEntity entity;
    entity.x1 = parseCoordinate(args[1], "X1");
    entity.x2 = parseCoordinate(args[2], "X2");
    entity.y1 = parseCoordinate(args[3], "Y1");
    entity.y2 = parseCoordinate(args[4], "Y2");
    entity.flags = static_cast<std::int32_t>(
        parseInteger(args[5], "FLAGS", std::numeric_limits<std::int32_t>::min(),
                     std::numeric_limits<std::int32_t>::max()));
    entity.text = args[6];
    const std::string out = entityToText(entity);
    std::cout.write(out.data(), static_cast<std::streamsize>(out.size()));
    flushStandardOutput();
    return 0;
}

int decode(const Args& args) {
    if (args.size() != 1) {
        throw CliError("takes no arguments (the text form comes on stdin)");
    }
    // An entity's text form is a few numbers and a short text; anything near this size is not
    // one (stdin may well be /dev/zero).
    constexpr std::size_t kMostBytes = std::size_t{8} << 20;
    const std::string text = readStandardInput(kMostBytes);
    renderEntity entity;
    try {
        entity = textToEntity(text);
    } catch (const RuntimeError& e) {
        throw CliError("error " + std::to_string(e.number()) + " " + lowerTrim(e.description()));
    }
    std::cout << "x1 = " << formatSingle(entity.x1) << "\n"
              << "x2 = " << formatSingle(entity.x2) << "\n"
              << "y1 = " << formatSingle(entity.y1) << "\n"
              << "y2 = " << formatSingle(entity.y2) << "\n"
              << "flags = " << entity.flags << "\n"
              << "text = " << escapeLineEnds(entity.text) << "\n";
    flushStandardOutput();
    return 0;
}

}  // namespace

int cmdEntity(const Args& args) {
    if (!args.empty() && args.front() == "encode") {
        return run("entity encode", [&] { return encode(args); });
    }
    if (!args.empty() && args.front() == "decode") {
        return run("entity decode", [&] { return decode(args); });
    }
    throw CliError("usage: entity encode X1 X2 Y1 Y2 FLAGS TEXT | entity decode");
}

}  // namespace kestro::sim
