#pragma once
// RotaInstance: one instance of the public rotating-workforce problem as its data files give it
// (MiniZinc data: `name = value;` statements, integers, booleans, strings, one-dimensional
// arrays `[a, b]` and the table `[| a, b | c, d |]`, comments from `%` to the end of a line).
//
// The rota is a cycle of nb_workers rows of 7 days: Sunday of row w is followed by Monday of row
// w + 1, the last row by the first. Shifts are numbered 1 .. nb_shifts in the order of the
// arrays; 0 stands for a free day.
//
// The reader is strict: every field listed below must be there exactly once, nothing else may be,
// and the values must fit together. A file that fails gets one German message naming the field.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RotaForbidden {
    int before = 0;        // shift 1 .. nb_shifts
    int after = 0;
    bool dayOff = false;   // true: "before, a free day, after"; false: on consecutive days
};

struct RotaInstance {
    std::string name;
    int weekLength = 7;
    int workers = 0;
    int minDaysOff = 0, maxDaysOff = 0;
    int minWork = 0, maxWork = 0;
    int shifts = 0;
    std::vector<std::vector<int>> demand;   // [shift - 1][weekday 0 = Monday .. 6 = Sunday]
    std::vector<std::string> shiftName;
    std::vector<int> shiftStart;            // minutes after midnight
    std::vector<int> shiftLength;           // minutes
    std::vector<int> blockMin, blockMax;    // consecutive days of one shift
    std::vector<RotaForbidden> forbidden;
};

// Reads an instance from the text of a data file; `name` is used in messages and kept in the
// instance. On failure: no instance and `error` holds the message.
std::optional<RotaInstance> ReadRotaInstance(const std::string& text, const std::string& name, std::string& error);
// The same from a file (the name shown is the file's name).
std::optional<RotaInstance> ReadRotaFile(const std::string& path, std::string& error);
