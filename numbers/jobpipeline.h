#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <stop_token>

// Jobs 0, 1, 2, … done on worker threads and handed, one at a time, to the thread that runs the
// pipeline: in the order of the jobs, or in the order they finish. Each job writes its result into
// one of a fixed number of slots that the caller owns, and a slot is reused only once its job has
// been taken, so the results waiting never outgrow the slots, however many jobs there are and
// however slowly they are taken: a slow taker holds the workers back.
//
// A slot belongs to one worker while it does its job there and to the taker while it takes it;
// the handing over goes through a mutex, so whatever the job wrote is seen whole.
class JobPipeline {
public:
    // Does one job into a slot, on a worker. A long job looks at `stop` now and then and may
    // return early once it is set: its result is then never taken.
    using Work = std::function<void(unsigned worker, std::size_t job, std::size_t slot,
                                    const std::atomic<bool> &stop)>;
    // Takes a finished job from its slot, on the thread that runs the pipeline; false stops the
    // run.
    using Take = std::function<bool(std::size_t job, std::size_t slot)>;
    enum class Order { Jobs, Finished };

    // threads ≥ 1 workers (with one, the jobs are done on the calling thread itself); the
    // results of at most `slots` ≥ threads jobs are held at once.
    JobPipeline(unsigned threads, std::size_t slots);

    unsigned threads() const { return m_threads; }
    std::size_t slots() const { return m_slots; }

    // True when every job was done and taken; false when a take said stop or stop was requested
    // (from any thread), in which case the workers are stopped at their next look and joined
    // before this returns.
    bool run(std::size_t jobs, Order order, const Work &work, const Take &take,
             std::stop_token stop = {}) const;

private:
    bool runHere(std::size_t jobs, const Work &work, const Take &take,
                 const std::stop_token &stop) const;

    unsigned m_threads;
    std::size_t m_slots;
};
