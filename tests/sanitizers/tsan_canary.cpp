// A deliberate data race in the project's own code. ThreadSanitizer must
// report it with the suppressions in force, which shows that they hide only
// the toolkit's frames.
#include <cstdio>
#include <thread>

namespace {

int g_counter = 0;

__attribute__((noinline)) void racyIncrement()
{
    for (int i = 0; i < 100000; ++i)
        ++g_counter;
}

} // namespace

int main()
{
    std::thread a(racyIncrement);
    std::thread b(racyIncrement);
    a.join();
    b.join();
    std::printf("counter %d\n", g_counter);
    return 0;
}
