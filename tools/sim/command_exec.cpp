// What the simulated controller does with each command: immediate commands at
// once (motions queued behind each other), job commands into the job buffer
// and, once the job runs, one after the other in simulated time.
#include "controller.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace trazvik::sim {

namespace {

// Little-endian unsigned field of `width` bytes at `offset`; 0 when the
// command is too short to hold it.
std::uint32_t field(const Command& c, std::size_t offset, std::size_t width) {
    if (offset + width > c.size()) return 0;
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v |= std::uint32_t{c[offset + i]} << (8 * i);
    return v;
}

std::int32_t signedField(const Command& c, std::size_t offset) {
    return static_cast<std::int32_t>(field(c, offset, 4));
}

bool named(const Command& c, const char* name) {
    const std::size_t n = std::strlen(name);
    if (c.size() < n + 1) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (c[1 + i] != static_cast<std::uint8_t>(name[i])) return false;
    return true;
}

constexpr double homingFeedMmPerMin = 3000;
constexpr double probeFeedMmPerMin = 300;

}  // namespace

// ----- motions -----

double SimController::slotPeriod() const {
    const auto& p = machine_.model.machineParams;
    const std::int32_t code = st_.speedSlots[st_.selectedSpeedSlot % 6];
    if (code > 0 && code < 65535) return code;
    // No usable speed in the slot: move at the machine's highest feed.
    const double feed = (p.maxFeedXY > 0 ? p.maxFeedXY : 1000) * std::max(1, p.speedMultiplier);
    const double b = feed * 100 / 60;
    const double tick = p.timerTick > 0 ? p.timerTick : 1;
    const double f = p.wideCommandSet && p.axisFactorX > 0 ? p.axisFactorX : 1;
    return std::max(1.0, 1e6 / f / b / tick);
}

Motion SimController::moveMotion(const Command& c, TraceSource source) const {
    const bool wide = layout_.wideCommandSet;
    const int level = layout_.protocolLevel;
    const std::uint8_t flags = c.size() > 1 ? c[1] : 0;
    const double length = field(c, 2, 3);
    double dz = field(c, 11, 3);
    if (wide && level >= 6) dz = field(c, 11, 3) & 0xFFFFF;
    Motion m;
    m.source = source;
    m.head = st_.selectedHead;
    m.delta[axisX] = (flags & 1) ? -double(field(c, 5, 3)) : double(field(c, 5, 3));
    m.delta[axisY] = (flags & 2) ? -double(field(c, 8, 3)) : double(field(c, 8, 3));
    dz = (flags & 4) ? -dz : dz;
    m.delta[st_.thirdAxisMode == 4 ? axisV : axisZ] = dz;
    m.periodCode = slotPeriod();
    const double tick = machine_.model.machineParams.timerTick > 0 ? machine_.model.machineParams.timerTick : 1;
    m.durationUs = std::max(length, 1.0) * m.periodCode * tick;
    return m;
}

Motion SimController::homingMotion(std::uint8_t mask) const {
    const auto& p = machine_.model.machineParams;
    Motion m;
    m.kind = MotionKind::homing;
    m.source = TraceSource::homing;
    m.head = st_.selectedHead;
    const bool check = (mask & 0x80) != 0;
    const std::array<double, 3> factor{p.axisFactorX, p.axisFactorY, p.axisFactorZ};
    const std::array<double, 3> now{st_.x, st_.y, st_.z[static_cast<std::size_t>(st_.selectedHead)]};
    double longestMm = 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (!(mask & (1 << axis))) continue;
        const auto a = static_cast<std::size_t>(axis);
        const bool knife = axis == axisZ && st_.thirdAxisMode == 4;
        const int target = knife ? axisV : axis;
        const double from = knife ? st_.v : now[a];
        m.delta[static_cast<std::size_t>(target)] = -from;
        if (factor[a] > 0 && !knife) longestMm = std::max(longestMm, std::abs(from) / (100 * factor[a]));
        if (check && !knife) m.finalPosition[a] = std::round(config_.baseDeviationMm[a] * 100 * factor[a]);
        else m.finalPosition[static_cast<std::size_t>(target)] = 0;
    }
    // Each axis approaches its switch; the slowest takes the time, plus the
    // slow final approach.
    m.durationUs = longestMm / (homingFeedMmPerMin / 60) * 1e6 + 200000;
    return m;
}

Motion SimController::probeMotion() const {
    const double fz = machine_.model.machineParams.axisFactorZ;
    Motion m;
    m.kind = MotionKind::probe;
    m.source = TraceSource::probe;
    m.head = st_.selectedHead;
    const double z = st_.z[static_cast<std::size_t>(st_.selectedHead)];
    const double touch = std::round(config_.probeTouchMm * 100 * fz);
    if (fz > 0 && z > touch) {
        m.delta[axisZ] = touch - z;
        m.durationUs = (z - touch) / (100 * fz) / (probeFeedMmPerMin / 60) * 1e6;
    } else {
        m.durationUs = 10000;
    }
    return m;
}

Motion SimController::dwellMotion(double ms, TraceSource source) const {
    Motion m;
    m.kind = MotionKind::dwell;
    m.source = source;
    m.head = st_.selectedHead;
    m.durationUs = ms * 1000;
    return m;
}

// A cubic Bezier segment from the records "sWA" to "sWD" (control points
// relative to where the tool stands), followed as short straight chords.
void SimController::bezierMotions(std::deque<Motion>& out) {
    constexpr int chords = 16;
    const auto& pts = bezier_;
    std::array<double, 3> previous{0, 0, 0};
    const double tick = machine_.model.machineParams.timerTick > 0 ? machine_.model.machineParams.timerTick : 1;
    const int m = std::max(1, machine_.model.machineParams.speedMultiplier);
    for (int i = 1; i <= chords; ++i) {
        const double t = static_cast<double>(i) / chords, u = 1 - t;
        std::array<double, 3> p{};
        for (std::size_t k = 0; k < 3; ++k)
            p[k] = std::round(u * u * u * pts[0][k] + 3 * u * u * t * pts[1][k] + 3 * u * t * t * pts[2][k] +
                              t * t * t * pts[3][k]);
        Motion chord;
        chord.source = TraceSource::job;
        chord.head = st_.selectedHead;
        chord.delta[axisX] = p[0] - previous[0];
        chord.delta[axisY] = p[1] - previous[1];
        chord.delta[st_.thirdAxisMode == 4 ? axisV : axisZ] = p[2] - previous[2];
        const double dz = p[2] - previous[2];
        const double len = std::sqrt(chord.delta[axisX] * chord.delta[axisX] + chord.delta[axisY] * chord.delta[axisY] + dz * dz);
        chord.periodCode = slotPeriod();
        chord.durationUs = std::max(1.0, m * len) * chord.periodCode * tick;
        out.push_back(chord);
        previous = p;
    }
}

// ----- immediate commands -----

void SimController::executeImmediate(const Command& c) {
    const bool wide = layout_.wideCommandSet;
    switch (c[0]) {
        case 'A': case 'B': case 'W': case 'P': immediateQueue_.push_back(c); break;
        case 'Y': stopManualMotion(); break;
        case 'Q': holdJob(); break;
        case 'K': continueJob(); break;
        case 'G': goJob(); break;
        case 'C': clearJob(); break;
        case 'V':
            if (c.size() > 1 && c[1] < 6) st_.speedSlots[c[1]] = static_cast<std::int32_t>(wide ? field(c, 2, 4) : field(c, 2, 2));
            break;
        case 'F':
            if (c.size() > 1 && c[1] < 6) st_.selectedSpeedSlot = c[1];
            break;
        case 'U':
            if (c.size() >= 9) {
                st_.zeroPoint[0] = signedField(c, 1);
                st_.zeroPoint[1] = signedField(c, 5);
            } else {
                st_.zeroPoint[0] = static_cast<std::int32_t>(field(c, 1, 3));
                st_.zeroPoint[1] = static_cast<std::int32_t>(field(c, 4, 3));
            }
            break;
        case 'N': st_.zeroPoint[2] = c.size() >= 5 ? signedField(c, 1) : static_cast<std::int32_t>(field(c, 1, 3)); break;
        case 'R': case 'T': executeJobCommand(c); break;  // same layout as in jobs
        case 'S': executeSetup(c); break;
        case 'X': case 'E': case 'Z': case 'O': case 'J': case 'I': case 'H': case '@': break;  // queries of the old link
        default: ++counters_.unknownCommands; break;
    }
}

void SimController::executeSetup(const Command& c) {
    if (named(c, "3o")) {
        st_.headOffset = {signedField(c, 3), signedField(c, 7)};
    } else if (named(c, "N")) {
        const std::uint32_t head = field(c, 2, 4);
        if (head < 3) st_.headZeros[head] = signedField(c, 6);
    } else if (named(c, "A")) {
        st_.acceleration = signedField(c, 2);
    } else if (c.size() >= 4 && c[1] == 0x0D) {
        st_.parameters[c[2]] = c[3];
    } else if (named(c, "IP")) {
        for (std::size_t i = 0; i < 4; ++i) st_.address[i] = static_cast<std::uint8_t>(field(c, 3 + i, 1));
    } else if (named(c, "y")) {
        // Second Y head shift: the simulated gantry has one Y.
    } else if (named(c, "U")) {
        st_.toolMeasureArmed = true;
    } else if (named(c, "fw")) {
        immediateMotions_.push_back(dwellMotion(500, TraceSource::immediate));  // spindle run-up
    } else if (named(c, "BB")) {
        st_.raster = true;
    } else if (named(c, "BE")) {
        st_.raster = false;
        st_.rasterDataPackets = 0;
    } else if (named(c, "BD")) {
        st_.rasterDataPackets = static_cast<int>(std::min<std::uint32_t>(field(c, 3, 4), 1u << 20));
    } else if (named(c, "BV") || named(c, "BS")) {
        // Grey mapping and the start of an engraved line: nothing to track.
    } else if (c.size() >= 2 && (c[1] == 0 || c[1] == 1)) {
        st_.smoothing = c[1] == 1;
    } else {
        executeRecord(c, false);
    }
}

// ----- records shared by jobs and immediate commands -----

void SimController::executeRecord(const Command& c, bool inJob) {
    if (named(c, "3v")) {
        st_.thirdAxisMode = c.size() > 3 && c[3] == 4 ? 4 : 0;
    } else if (named(c, "3z")) {
        const std::uint8_t bit = c.size() > 3 ? c[3] : 1;
        st_.selectedHead = bit == 4 ? 2 : bit == 2 ? 1 : 0;
    } else if (named(c, "LT")) {
        st_.laserPulseMs = signedField(c, 3);
    } else if (named(c, "P")) {
        st_.laserPulseMs = signedField(c, 2);
    } else if (named(c, "LS")) {
        st_.beamOn = true;
    } else if (named(c, "LC")) {
        st_.beamOn = false;
    } else if (named(c, "LP")) {
        auto pulse = dwellMotion(std::max(0, st_.laserPulseMs), inJob ? TraceSource::job : TraceSource::immediate);
        (inJob ? jobMotions_ : immediateMotions_).push_back(pulse);
    } else if (c.size() >= 3 && c[1] == 'W') {
        const std::uint8_t which = c[2];
        if (which >= 'A' && which <= 'D')
            bezier_[which - 'A'] = {signedField(c, 3), signedField(c, 7), signedField(c, 11)};
        else if (which == 'W')
            bezierMotions(inJob ? jobMotions_ : immediateMotions_);
        // "sWU", "sWL", "sWG": interpolation step and joint; the chords above do without.
    } else if (named(c, "E")) {
        if (inJob) endSeen_ = true;
    } else {
        ++counters_.unknownCommands;
    }
}

// ----- job commands -----

void SimController::executeJobCommand(const Command& c) {
    const bool wide = layout_.wideCommandSet;
    const char op = static_cast<char>(c[0] & ~0x20);
    switch (op) {
        case 'A': jobMotions_.push_back(moveMotion(c, TraceSource::job)); break;
        case 'V':
            if (c.size() > 1 && c[1] < 6) st_.speedSlots[c[1]] = static_cast<std::int32_t>(wide ? field(c, 2, 4) : field(c, 2, 2));
            break;
        case 'F':
            if (c.size() > 1 && c[1] < 6) st_.selectedSpeedSlot = c[1];
            break;
        case 'P': jobMotions_.push_back(dwellMotion(c.size() > 1 ? c[1] : 0, TraceSource::job)); break;
        case 'R': {
            if (c.size() < 3) break;
            const bool on = c[1] != 0;
            const std::uint8_t mask = c[2];
            auto engage = [&](int head) { st_.headEngaged[static_cast<std::size_t>(head)] = on; };
            if (mask == 0x81) st_.dustExtraction = on;
            else if (mask == 0x82) st_.vacuumPump = on;
            else if (mask == 0x90) engage(0);
            else if (mask == 0xA0) engage(1);
            else if (mask == 0xC0 && layout_.headCount >= 2) engage(2);
            else st_.outputs = on ? (st_.outputs | mask) : (st_.outputs & static_cast<std::uint8_t>(~mask));
            // The tool output in use names the power slot that drives it.
            if (on && mask >= 1 && mask <= 3) st_.selectedPowerSlot = mask;
            break;
        }
        case 'T': {
            if (c.size() < 3 || c[1] >= 6) break;
            const std::uint32_t v = layout_.protocolLevel >= 6 ? field(c, 2, 4) : c[2];
            st_.powerSlots[c[1]] = static_cast<std::uint16_t>(std::min<std::uint32_t>(v, 65535));
            st_.selectedPowerSlot = c[1];
            break;
        }
        case 'S':
            if (c[0] == 's' && c.size() == 2) st_.smoothing = c[1] == 1;
            else executeRecord(c, true);
            break;
        case 'L': break;  // end-of-move speed limit: the simulated motion does not plan corners
        case 'N': st_.headZeros[static_cast<std::size_t>(st_.selectedHead)] = signedField(c, 1); break;
        default: ++counters_.unknownCommands; break;
    }
}

// ----- job control -----

void SimController::holdJob() {
    if (!st_.jobRunning) return;
    if (executor_.busy() && executor_.current()->source == TraceSource::job)
        heldJobMotion_ = executor_.interrupt(st_, trace_);
    st_.jobRunning = false;
    st_.jobPaused = true;
    st_.heldForEmptyBuffer = false;
}

void SimController::continueJob() {
    if (!st_.jobPaused) return;
    st_.jobPaused = false;
    st_.jobRunning = true;
    emptyForUs_ = 0;
}

void SimController::goJob() {
    if (st_.jobRunning || !job_.rewind()) return;
    jobMotions_.clear();
    heldJobMotion_.reset();
    st_.jobRunning = true;
    st_.jobPaused = false;
    st_.heldForEmptyBuffer = false;
    jobEnded_ = false;
    endSeen_ = false;
    emptyForUs_ = 0;
}

void SimController::clearJob() {
    if (executor_.busy() && executor_.current()->source == TraceSource::job) executor_.interrupt(st_, trace_);
    job_.clear();
    jobMotions_.clear();
    heldJobMotion_.reset();
    st_.jobRunning = st_.jobPaused = st_.heldForEmptyBuffer = false;
    jobEnded_ = endSeen_ = false;
}

void SimController::stopManualMotion() {
    if (executor_.busy() && executor_.current()->source != TraceSource::job) executor_.interrupt(st_, trace_);
    immediateQueue_.clear();
    immediateMotions_.clear();
}

void SimController::endJob() {
    st_.jobRunning = st_.jobPaused = st_.heldForEmptyBuffer = false;
    jobEnded_ = true;
    endSeen_ = false;
    emptyForUs_ = 0;
    ++counters_.jobsEnded;
}

void SimController::startQueuedImmediate(const Command& c) {
    switch (c[0]) {
        case 'A': {
            Motion m = moveMotion(c, TraceSource::immediate);
            if (st_.thirdAxisMode == 4 && m.delta[axisX] == 0 && m.delta[axisY] == 0) {
                // Knife turn: the path length is the turn itself.
                const double tick = machine_.model.machineParams.timerTick > 0 ? machine_.model.machineParams.timerTick : 1;
                m.durationUs = std::max(10.0, std::abs(m.delta[axisV])) * m.periodCode * tick;
            }
            immediateMotions_.push_back(m);
            break;
        }
        case 'B': immediateMotions_.push_back(homingMotion(c.size() > 1 ? c[1] : 0x37)); break;
        case 'W': immediateMotions_.push_back(probeMotion()); break;
        case 'P': immediateMotions_.push_back(dwellMotion(c.size() > 1 ? c[1] : 0, TraceSource::immediate)); break;
        default: break;
    }
}

// ----- the clock -----

void SimController::runFor(double us) {
    simulatedUs_ += us;
    for (int guard = 0; guard < 1000000; ++guard) {
        if (executor_.busy()) {
            us = executor_.advance(us, st_, trace_);
            if (executor_.busy()) return;
            continue;
        }
        if (st_.jobRunning) {
            if (heldJobMotion_) {
                executor_.start(*heldJobMotion_, st_);
                heldJobMotion_.reset();
                continue;
            }
            if (!jobMotions_.empty()) {
                executor_.start(jobMotions_.front(), st_);
                jobMotions_.pop_front();
                continue;
            }
            if (endSeen_) {
                endJob();
                continue;
            }
            if (auto c = job_.next()) {
                st_.heldForEmptyBuffer = false;
                emptyForUs_ = 0;
                executeJobCommand(*c);
                continue;
            }
            // The buffer ran empty before the job's end: hold until more arrives.
            st_.heldForEmptyBuffer = true;
            if (!layout_.wideCommandSet) {
                emptyForUs_ += us;
                if (emptyForUs_ >= config_.emptyBufferEndMs * 1000) {
                    endJob();
                    continue;
                }
            }
            return;
        }
        if (!immediateMotions_.empty()) {
            executor_.start(immediateMotions_.front(), st_);
            immediateMotions_.pop_front();
            continue;
        }
        if (!immediateQueue_.empty()) {
            const Command c = immediateQueue_.front();
            immediateQueue_.pop_front();
            startQueuedImmediate(c);
            continue;
        }
        return;
    }
}

}  // namespace trazvik::sim
