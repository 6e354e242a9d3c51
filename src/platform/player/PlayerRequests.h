#pragma once

// What the players of both systems share: the requests their callers post to one worker thread,
// and the worker's progress that the callers wait on. Standard C++ only: the player modules link
// no Qt.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace morvantis {

struct PlayerRequests {
    using Clock = std::chrono::steady_clock;

    std::mutex mutex;
    std::condition_variable changed;
    // Requests, from the callers.
    std::uint64_t requested = 0;
    std::string path;
    bool stopOnly = false;
    Clock::time_point requestedAt;
    bool quit = false;
    std::uint64_t abandoned = 0; // requests up to this one were given up by a caller
    // Told when request onEndFor is over; a newer request or the end drops it unsaid.
    std::function<void()> onEnd;
    std::uint64_t onEndFor = 0;
    // Progress, from the worker.
    Clock::time_point aliveAt; // its last sign of progress (ahead, while it waits for a known end)
    std::uint64_t ended = 0;   // every request up to this one is over
    bool finished = false;     // the worker has ended

    // --- The callers' side ---

    // A sound to play, or only a stop: either way the request before it is over.
    // ended, when given, is called once this request is over (see Sound::playThen).
    void request(const std::string& wave, bool stop, std::function<void()> ended = {}) {
        {
            const std::lock_guard lock(mutex);
            ++requested;
            path = wave;
            stopOnly = stop;
            requestedAt = Clock::now();
            onEnd = std::move(ended);
            onEndFor = requested;
        }
        changed.notify_all();
    }

    // Whether the last request is over, within the timeout. Should the worker show no progress
    // for workerBound (a device or file call that does not return), the request is given up
    // here, and the worker never plays it.
    bool waitEnd(std::chrono::milliseconds timeout, Clock::duration workerBound) {
        const auto limit = Clock::now() + timeout;
        std::unique_lock lock(mutex);
        for (;;) {
            const std::uint64_t gen = requested;
            if (ended >= gen || abandoned >= gen)
                return true;
            const Clock::time_point bound = std::max(requestedAt, aliveAt) + workerBound;
            const auto now = Clock::now();
            if (now >= bound) {
                abandoned = gen;
                tellEnd(gen);
                changed.notify_all();
                return true;
            }
            if (now >= limit)
                return false;
            changed.wait_until(lock, std::min(limit, bound));
        }
    }

    // Tells the worker to end and joins it; one held up past the bound is left to end on its
    // own, keeping what it uses.
    void endWorker(std::thread& worker, Clock::duration bound) {
        bool done = false;
        {
            std::unique_lock lock(mutex);
            quit = true;
            onEnd = nullptr; // a worker left behind must not call into a caller that is gone
            changed.notify_all();
            done = changed.wait_for(lock, bound, [&] { return finished; });
        }
        if (done)
            worker.join();
        else
            worker.detach();
    }

    // --- The worker's side ---

    struct Next {
        enum { Play, LingerOver, Quit } what;
        std::uint64_t gen = 0;
        std::string path;
        bool stopOnly = false;
    };
    // The next request after `handled`, waiting for it; while a device or stream lingers, only
    // until `lingerUntil`.
    Next next(std::uint64_t& handled, bool lingering, Clock::time_point lingerUntil) {
        std::unique_lock lock(mutex);
        const auto asked = [&] { return quit || requested != handled; };
        if (lingering && !changed.wait_until(lock, lingerUntil, asked))
            return {Next::LingerOver, 0, {}, false};
        changed.wait(lock, asked);
        if (quit)
            return {Next::Quit, 0, {}, false};
        handled = requested;
        aliveAt = Clock::now();
        return {Next::Play, requested, path, stopOnly};
    }

    // A sign of progress, reaching `until` when the worker waits for an end it knows.
    void alive(Clock::time_point until = Clock::now()) {
        const std::lock_guard lock(mutex);
        aliveAt = std::max(aliveAt, until);
    }

    bool interrupted(std::uint64_t gen) {
        const std::lock_guard lock(mutex);
        return stale(gen);
    }
    // With the mutex held: a newer request, the request given up, or the end.
    bool stale(std::uint64_t gen) const { return quit || requested != gen || abandoned >= gen; }

    void markEnded(std::uint64_t gen) {
        {
            const std::lock_guard lock(mutex);
            ended = std::max(ended, gen);
            tellEnd(gen);
        }
        changed.notify_all();
    }
    // With the mutex held: the caller that asked to be told of this request's end is told. Under
    // the lock, so that a caller's stop() or newer request is never followed by a stale call.
    void tellEnd(std::uint64_t gen) {
        if (onEnd && onEndFor <= gen) {
            const std::function<void()> call = std::move(onEnd);
            onEnd = nullptr;
            call();
        }
    }

    void markFinished() {
        {
            const std::lock_guard lock(mutex);
            finished = true;
        }
        changed.notify_all();
    }
};

} // namespace morvantis
