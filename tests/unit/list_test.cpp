// Lista: the cursor rules of every operation and the freeing of payloads.
#include "math/list.h"

#include <gtest/gtest.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

// Heap ints 0 .. n-1, cursor on no node.
static Lista* numbers(int n)
{
    Lista* l = new Lista();
    for (int i = 0; i < n; i++)
        l->add(new int(i));
    return l;
}

static int at(void* p) { return *(int*)p; }

static void release(Lista* l)
{
    l->destroy();
    delete l;
}

// Removes node k of a list of n and returns the list, cursor where remove() left it.
static Lista* removedAt(int n, int k, int expectedResult)
{
    Lista* l = numbers(n);
    l->goToNode(k);
    EXPECT_EQ(l->remove(), expectedResult);
    EXPECT_EQ(l->getNodeCount(), n - 1);
    return l;
}

TEST(Lista, RemoveLeavesTheCursorOnTheSuccessorOrTheNewLast)
{
    Lista* l = removedAt(3, 1, 1);
    EXPECT_EQ(at(l->getCurrent()), 2);
    EXPECT_EQ(l->goBackwards(), 1);  // relinked both ways
    EXPECT_EQ(at(l->getCurrent()), 0);
    release(l);

    l = removedAt(3, 2, 0);
    EXPECT_EQ(at(l->getCurrent()), 1);
    EXPECT_TRUE(l->isAtEnd());
    release(l);

    l = removedAt(3, 0, 1);
    EXPECT_EQ(at(l->getCurrent()), 1);
    EXPECT_TRUE(l->isAtStart());
    release(l);

    l = removedAt(1, 0, 1);
    EXPECT_TRUE(l->first == nullptr && l->last == nullptr && l->current == nullptr);
    EXPECT_EQ(l->remove(), 0);  // empty
    delete l;

    l = numbers(2);
    EXPECT_EQ(l->remove(), 0);  // cursor on no node: nothing dropped
    EXPECT_EQ(l->getNodeCount(), 2);
    release(l);
}

TEST(Lista, CursorMovesStopAtTheEnds)
{
    Lista* l = numbers(3);
    EXPECT_EQ(l->getCurrent(), nullptr);  // add does not move the cursor
    EXPECT_EQ(l->getCurrentNodeNumber(), 3);
    EXPECT_EQ(l->goToNode(10), 0);
    EXPECT_EQ(at(l->getCurrent()), 2);
    EXPECT_EQ(l->goToNode(1), 1);
    EXPECT_EQ(l->getCurrentNodeNumber(), 1);
    l->goToNode(-4);
    EXPECT_EQ(at(l->getCurrent()), 0);
    release(l);

    l = numbers(1);
    l->goToStart();
    EXPECT_EQ(l->goForward(), 0);  // the "all but the first" walk visits nothing
    release(l);
}

TEST(Lista, InsertGoesAfterTheCursorAndNeedsOne)
{
    Lista* l = numbers(2);
    int* refused = new int(7);
    EXPECT_EQ(l->insert(refused), 0);  // no cursor: the list is unchanged and takes nothing
    EXPECT_EQ(l->getNodeCount(), 2);
    delete refused;

    l->goToStart();
    EXPECT_EQ(l->insert(new int(7)), 1);
    EXPECT_EQ(at(l->getCurrent()), 0);
    l->goToNode(2);
    EXPECT_EQ(l->goBackwards(), 1);
    EXPECT_EQ(at(l->getCurrent()), 7);
    l->goToEnd();
    EXPECT_EQ(l->insert(new int(8)), 1);  // on the last node: appended
    EXPECT_EQ(at(l->getLast()), 8);
    EXPECT_EQ(l->getNodeCount(), 4);
    release(l);
}

TEST(Lista, DestroyAndSetCurrentFreeThePayloads)
{
    Lista empty;
    EXPECT_EQ(empty.getCurrent(), nullptr);
    int keep = 3;
    empty.setCurrent(&keep);  // no cursor: not taken, not freed
    empty.destroy();

    Lista* l = numbers(50);
    l->add(nullptr);  // allowed, never freed
    l->goToNode(20);
    l->setCurrent(new int(99));  // frees the 20
    EXPECT_EQ(at(l->getCurrent()), 99);
    l->destroy();
    EXPECT_EQ(l->getNodeCount(), 0);
    EXPECT_TRUE(l->first == nullptr && l->last == nullptr && l->current == nullptr);
    delete l;
#ifdef __SANITIZE_ADDRESS__
    // Every payload and node handed to the list is unreachable now: none may be left.
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
}
