// rand and srand as the GNU C library computes them, for the web build: the scenes lay out
// their cells, solids and curves from the C library's generator, and the browser's C library
// has another one. An additive feedback generator over 31 words, r[i] = r[i-31] + r[i-3],
// seeded by a multiplicative congruential generator, with the first 310 results thrown away;
// each result is the sum's top 31 bits. These definitions replace the C library's own.
#include <cstdint>
#include <cstdlib>

namespace {

const int WORDS = 31, SEPARATION = 3, DISCARD = 310;
int32_t state[WORDS];
int front = SEPARATION, rear = 0;
bool seeded = false;

int next()
{
    state[front] = (int32_t)((uint32_t)state[front] + (uint32_t)state[rear]);
    int result = (int)((uint32_t)state[front] >> 1);
    front = (front + 1) % WORDS;
    rear = (rear + 1) % WORDS;
    return result;
}

void seed(unsigned int s)
{
    int32_t word = s == 0 ? 1 : (int32_t)s;
    state[0] = word;
    for (int i = 1; i < WORDS; i++) {
        // 16807 * word mod (2^31 - 1) without overflow.
        int32_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0)
            word += 2147483647;
        state[i] = word;
    }
    front = SEPARATION;
    rear = 0;
    for (int i = 0; i < DISCARD; i++)
        next();
    seeded = true;
}

}  // namespace

extern "C" void srand(unsigned int s)
{
    seed(s);
}

extern "C" int rand(void)
{
    // Unseeded, the generator behaves as seeded with 1.
    if (!seeded)
        seed(1);
    return next();
}
