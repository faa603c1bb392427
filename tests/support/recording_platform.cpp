#include "support/recording_platform.h"

std::ostream& operator<<(std::ostream& out, const Command& c) {
    static const char* const names[] = {"line", "circle", "clear", "pump", "picture"};
    return out << names[static_cast<int>(c.kind)] << '(' << c.x1 << ", " << c.y1 << ", " << c.x2 << ", " << c.y2
               << ", 0x" << std::hex << c.colour << std::dec << ')';
}

std::vector<Command> RecordingPlatform::pass(std::int64_t pass) const {
    std::vector<Command> result;
    std::int64_t current = 0;
    for (const Command& c : commands) {
        if (current == pass) result.push_back(c);
        if (c.kind == Command::Kind::pump && ++current > pass) break;
    }
    return result;
}

void replay(std::span<const Command> commands, Platform& target) {
    for (const Command& c : commands) {
        switch (c.kind) {
        case Command::Kind::line:
            target.line(c.x1, c.y1, c.x2, c.y2, c.colour);
            break;
        case Command::Kind::circle:
            target.circle(c.x1, c.y1, c.x2, c.colour);
            break;
        case Command::Kind::clear:
            target.clear();
            break;
        case Command::Kind::picture:
            target.picture_eccentricity(c.x1);
            break;
        case Command::Kind::pump:
            break;
        }
    }
}
