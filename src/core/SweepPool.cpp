#include "SweepPool.h"

#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "FDTD_1D_Routines.h"

namespace {

constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
constexpr int kChunksPerThread = 16;
constexpr int32_t kMinChunkNodes = 64;
constexpr int32_t kMaxChunkNodes = 2048;
constexpr int64_t kMaxChunks = 0xFFFF; // the claim word's 16-bit fields
constexpr int kMaxThreads = 64;
// How long a waiting worker spins before it blocks, and how long the calling thread waits for
// workers' chunks by spinning before it blocks (letting a descheduled worker have its core).
constexpr auto kWorkerSpin = std::chrono::microseconds(200);
constexpr auto kMainSpin = std::chrono::microseconds(50);

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

constexpr int kDefaultParallelThreshold = 1500;

int RequestedThreads = 0; // 0: the default
int ParallelThreshold = kDefaultParallelThreshold;
std::unique_ptr<SweepPool> Pool;

} // namespace

int DefaultSolverThreads() {
    if (const char *text = std::getenv("PEPSIM_THREADS")) {
        char *end = nullptr;
        errno = 0;
        const long n = std::strtol(text, &end, 10);
        if (errno == 0 && end != text && *end == '\0' && text[0] >= '0' && text[0] <= '9' && n >= 1)
            return static_cast<int>(std::min<long>(n, kMaxThreads));
    }
    const unsigned hardware = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp<unsigned>(hardware, 1, kMaxThreads));
}

void SetSolverThreads(int n) {
    RequestedThreads = n < 1 ? 0 : std::min(n, kMaxThreads);
}

void SetSolverParallelThreshold(int nodes) {
    ParallelThreshold = nodes < 0 ? kDefaultParallelThreshold : nodes;
}

int SolverParallelThreshold() {
    return ParallelThreshold;
}

int SolverThreads() {
    static const int defaultThreads = DefaultSolverThreads();
    return RequestedThreads > 0 ? RequestedThreads : defaultThreads;
}

SweepPool *SolverPool() {
    const int threads = SolverThreads();
    if (threads <= 1) {
        Pool.reset();
        return nullptr;
    }
    if (!Pool || Pool->Threads() != threads) {
        Pool.reset();
        Pool = std::make_unique<SweepPool>(threads);
    }
    return Pool.get();
}

SweepPool::SweepPool(int threads) {
    Workers.reserve(static_cast<size_t>(threads - 1));
    for (int i = 1; i < threads; ++i)
        Workers.emplace_back([this] { WorkerLoop(); });
}

SweepPool::~SweepPool() {
    Stop.store(true, std::memory_order_seq_cst);
    WakeGeneration.fetch_add(1, std::memory_order_seq_cst);
    WakeGeneration.notify_all();
    for (std::thread &t : Workers)
        t.join();
}

// The calling thread claims chunks from the front, the workers from the back: with two threads
// each computes about the same half of the grid in every sweep, which keeps it in its own cache.
bool SweepPool::Claim(uint32_t generation, bool fromFront, int32_t &index) {
    uint64_t word = ClaimWord.load(std::memory_order_relaxed);
    for (;;) {
        if (static_cast<uint32_t>(word >> 32) != generation)
            return false;
        const int32_t front = static_cast<int32_t>(word & 0xFFFF);
        const int32_t back = static_cast<int32_t>((word >> 16) & 0xFFFF);
        if (front >= back)
            return false;
        const uint64_t claimed = fromFront ? word + 1 : word - (uint64_t{1} << 16);
        if (ClaimWord.compare_exchange_weak(word, claimed, std::memory_order_acq_rel,
                                            std::memory_order_relaxed)) {
            index = fromFront ? front : back - 1;
            return true;
        }
    }
}

// Spins for a while, then blocks until a job newer than `seen` is announced (or the pool stops).
uint64_t SweepPool::WaitForJob(uint32_t seen) {
    const auto start = std::chrono::steady_clock::now();
    for (int spins = 0;; ++spins) {
        const uint64_t word = ClaimWord.load(std::memory_order_acquire);
        if (static_cast<uint32_t>(word >> 32) != seen || Stop.load(std::memory_order_relaxed))
            return word;
        if (spins < 256) {
            CpuRelax();
            continue;
        }
        // Let a thread that shares this core run (the main thread on a busy machine).
        std::this_thread::yield();
        if ((spins & 15) == 0 && std::chrono::steady_clock::now() - start > kWorkerSpin)
            break;
    }
    Sleepers.fetch_add(1, std::memory_order_seq_cst);
    uint64_t word;
    for (;;) {
        const uint32_t wake = WakeGeneration.load(std::memory_order_seq_cst);
        word = ClaimWord.load(std::memory_order_acquire);
        if (static_cast<uint32_t>(word >> 32) != seen || Stop.load(std::memory_order_seq_cst))
            break;
        WakeGeneration.wait(wake, std::memory_order_seq_cst);
    }
    Sleepers.fetch_sub(1, std::memory_order_relaxed);
    return word;
}

void SweepPool::WorkerLoop() {
    uint32_t seen = 0;
    for (;;) {
        const uint64_t word = WaitForJob(seen);
        if (Stop.load(std::memory_order_relaxed))
            return;
        const uint32_t generation = static_cast<uint32_t>(word >> 32);
        seen = generation;
        const ChunkFn fn = Fn.load(std::memory_order_relaxed);
        const void *context = Context.load(std::memory_order_relaxed);
        const int32_t first = First.load(std::memory_order_relaxed);
        const int32_t last = Last.load(std::memory_order_relaxed);
        const int32_t size = ChunkSize.load(std::memory_order_relaxed);
        const int32_t count = ChunkCount.load(std::memory_order_relaxed);
        bool cleared = false;
        int32_t index;
        while (Claim(generation, false, index)) {
            if (!cleared) {
                std::feclearexcept(kFaultFlags);
                cleared = true;
            }
            const int32_t lo = first + index * size;
            fn(context, lo, std::min(last, lo + size - 1));
            // fn is called through a pointer: all its arithmetic is done before the flags are read.
            if (const int flags = std::fetestexcept(kFaultFlags))
                WorkerFaults.fetch_or(flags, std::memory_order_relaxed);
            if (Done.fetch_add(1, std::memory_order_seq_cst) + 1 == count &&
                MainSleeping.load(std::memory_order_seq_cst))
                Done.notify_one();
        }
    }
}

int SweepPool::Run(int32_t first, int32_t last, ChunkFn workerChunk, ChunkFn mainChunk, const void *context,
                   void (*idle)()) {
    const int64_t nodes = int64_t{last} - first + 1;
    if (nodes <= 0)
        return 0;
    // kChunksPerThread chunks per thread, more on a large grid (a chunk of at most kMaxChunkNodes
    // keeps the wait for the last one short), none shorter than kMinChunkNodes.
    int64_t wanted =
        std::max<int64_t>(Threads() * kChunksPerThread, (nodes + kMaxChunkNodes - 1) / kMaxChunkNodes);
    wanted = std::min<int64_t>({wanted, (nodes + kMinChunkNodes - 1) / kMinChunkNodes, kMaxChunks});
    const int32_t size = static_cast<int32_t>((nodes + wanted - 1) / wanted);
    const int32_t count = static_cast<int32_t>((nodes + size - 1) / size);

    Fn.store(workerChunk, std::memory_order_relaxed);
    Context.store(context, std::memory_order_relaxed);
    First.store(first, std::memory_order_relaxed);
    Last.store(last, std::memory_order_relaxed);
    ChunkSize.store(size, std::memory_order_relaxed);
    ChunkCount.store(count, std::memory_order_relaxed);
    Done.store(0, std::memory_order_relaxed);
    WorkerFaults.store(0, std::memory_order_relaxed);
    MainSleeping.store(0, std::memory_order_relaxed);
    const uint32_t generation = ++Generation;
    ClaimWord.store(static_cast<uint64_t>(generation) << 32 | static_cast<uint64_t>(count) << 16,
                    std::memory_order_seq_cst);
    WakeGeneration.store(generation, std::memory_order_seq_cst);
    if (Sleepers.load(std::memory_order_seq_cst) > 0)
        WakeGeneration.notify_all();

    int32_t index;
    int32_t mine = 0;
    while (Claim(generation, true, index)) {
        const int32_t lo = first + index * size;
        mainChunk(context, lo, std::min(last, lo + size - 1));
        ++mine;
    }
    if (mine > 0 && Done.fetch_add(mine, std::memory_order_seq_cst) + mine == count)
        return WorkerFaults.load(std::memory_order_acquire);

    // Only chunks that workers have started remain.
    const auto start = std::chrono::steady_clock::now();
    for (int spins = 0; Done.load(std::memory_order_acquire) != count; ++spins) {
        if (idle)
            idle();
        if (spins < 64) {
            CpuRelax();
            continue;
        }
        std::this_thread::yield();
        if ((spins & 15) == 0 && std::chrono::steady_clock::now() - start > kMainSpin) {
            MainSleeping.store(1, std::memory_order_seq_cst);
            for (int32_t done; (done = Done.load(std::memory_order_seq_cst)) != count;)
                Done.wait(done, std::memory_order_seq_cst);
            break;
        }
    }
    std::atomic_thread_fence(std::memory_order_acquire);
    return WorkerFaults.load(std::memory_order_acquire);
}
