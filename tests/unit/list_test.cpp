// Lista: the cursor rules of remove(), with which the flows drop dead particles, and destroy()
// emptying the list. Every list here holds heap ints that destroy() must free: the sanitizer
// build's leak check at exit fails a payload left behind. (The paths' evaluation at and past
// their ends checks goToNode and goForward.)
#include "math/list.h"

#include <gtest/gtest.h>
#include <vector>

// Heap ints 0 .. n-1, cursor on no node.
static Lista* numbers(int n)
{
    Lista* l = new Lista();
    for (int i = 0; i < n; i++)
        l->add(new int(i));
    return l;
}

static int payload(void* p) { return p ? *(int*)p : -1; }

// The payloads first to last; the links backwards must agree with them, and the count.
static std::vector<int> contents(const Lista& l)
{
    std::vector<int> forward, backward;
    for (ListanSolmu* n = l.first; n; n = n->next)
        forward.push_back(payload(n->data));
    for (ListanSolmu* n = l.last; n; n = n->previous)
        backward.insert(backward.begin(), payload(n->data));
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(l.getNodeCount(), (int)forward.size());
    return forward;
}

// remove() drops the cursor node; the cursor moves to its successor, or to the new last node
// (returning 0) when it dropped the last of several.
TEST(Lista, RemoveLeavesTheCursorOnTheSuccessorOrTheNewLast)
{
    const struct { int n, k, result; std::vector<int> left; int cursor; } cases[] = {
        {3, 1, 1, {0, 2}, 2}, {3, 2, 0, {0, 1}, 1}, {3, 0, 1, {1, 2}, 1}, {1, 0, 1, {}, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "node " << c.k << " of " << c.n);
        Lista* l = numbers(c.n);
        l->goToNode(c.k);
        EXPECT_EQ(l->remove(), c.result);
        EXPECT_EQ(contents(*l), c.left);
        EXPECT_EQ(payload(l->getCurrent()), c.cursor);
        l->destroy();
        delete l;
    }
    Lista* l = numbers(2);
    EXPECT_EQ(l->remove(), 0);  // the cursor on no node: nothing dropped
    EXPECT_EQ(contents(*l), (std::vector<int>{0, 1}));
    l->destroy();
    EXPECT_TRUE(contents(*l).empty() && l->current == nullptr);
    EXPECT_EQ(l->remove(), 0);  // empty
    delete l;
}
