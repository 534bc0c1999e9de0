// Lista: the cursor rules of every operation and the freeing of payloads.
#include "math/list.h"

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define LIST_TEST_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LIST_TEST_LSAN 1
#endif
#endif
#ifdef LIST_TEST_LSAN
#include <sanitizer/lsan_interface.h>
#endif

// A list of n heap ints 0 .. n-1, cursor on no node.
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

TEST(Lista, AddLeavesTheCursorOnNoNode)
{
    Lista* l = numbers(1);
    EXPECT_EQ(l->getCurrent(), nullptr);
    EXPECT_EQ(l->getCurrentNodeNumber(), 1);
    EXPECT_EQ(l->goToStart(), 1);
    EXPECT_EQ(at(l->getCurrent()), 0);
    // On one node there is nowhere to go: the "all but the first" walk visits nothing.
    EXPECT_EQ(l->goForward(), 0);
    EXPECT_EQ(l->goBackwards(), 0);
    release(l);
}

TEST(Lista, RemoveMovesTheCursorAsItsTableSays)
{
    // Middle node: the cursor moves to the former third node.
    Lista* l = numbers(3);
    l->goToNode(1);
    EXPECT_EQ(l->remove(), 1);
    EXPECT_EQ(l->getNodeCount(), 2);
    EXPECT_EQ(at(l->getCurrent()), 2);
    EXPECT_EQ(l->goBackwards(), 1);
    EXPECT_EQ(at(l->getCurrent()), 0);
    EXPECT_EQ(l->first->next, l->last);
    EXPECT_EQ(l->last->previous, l->first);
    release(l);

    // Last of several: the cursor falls back to the new last node, and 0 is returned.
    l = numbers(3);
    l->goToEnd();
    EXPECT_EQ(l->remove(), 0);
    EXPECT_EQ(l->getNodeCount(), 2);
    EXPECT_EQ(at(l->getCurrent()), 1);
    EXPECT_TRUE(l->isAtEnd());
    EXPECT_EQ(l->last->next, nullptr);
    release(l);

    // First of several: the cursor and first both move to the follower.
    l = numbers(3);
    l->goToStart();
    EXPECT_EQ(l->remove(), 1);
    EXPECT_EQ(at(l->getCurrent()), 1);
    EXPECT_EQ(at(l->getFirst()), 1);
    EXPECT_TRUE(l->isAtStart());
    EXPECT_EQ(l->first->previous, nullptr);
    release(l);

    // The only node: empty, cursor on no node.
    l = numbers(1);
    l->goToStart();
    EXPECT_EQ(l->remove(), 1);
    EXPECT_EQ(l->getNodeCount(), 0);
    EXPECT_EQ(l->first, nullptr);
    EXPECT_EQ(l->last, nullptr);
    EXPECT_EQ(l->current, nullptr);
    // Empty list, and a non-empty one with the cursor on no node: nothing is dropped.
    EXPECT_EQ(l->remove(), 0);
    delete l;
    l = numbers(2);
    EXPECT_EQ(l->remove(), 0);
    EXPECT_EQ(l->getNodeCount(), 2);
    release(l);
}

TEST(Lista, RemoveLastMovesACursorStandingOnIt)
{
    Lista* l = numbers(2);
    l->goToEnd();
    EXPECT_EQ(l->removeLast(), 1);
    EXPECT_EQ(at(l->getCurrent()), 0);
    EXPECT_EQ(l->removeLast(), 1);
    EXPECT_EQ(l->current, nullptr);
    EXPECT_EQ(l->first, nullptr);
    EXPECT_EQ(l->removeLast(), 0);
    delete l;
}

TEST(Lista, GoToNodeStopsOnTheLastNode)
{
    Lista* l = numbers(3);
    EXPECT_EQ(l->goToNode(10), 0);
    EXPECT_EQ(at(l->getCurrent()), 2);
    EXPECT_EQ(l->goToNode(1), 1);
    EXPECT_EQ(at(l->getCurrent()), 1);
    EXPECT_EQ(l->getCurrentNodeNumber(), 1);
    l->goToNode(-4);
    EXPECT_EQ(at(l->getCurrent()), 0);
    // A huge n returns at once rather than counting out every failed step.
    EXPECT_EQ(l->goToNode(2147483647), 0);
    EXPECT_TRUE(l->isAtEnd());
    release(l);

    Lista empty;
    EXPECT_EQ(empty.goToNode(3), 0);
    EXPECT_EQ(empty.goForward(), 0);
    EXPECT_TRUE(empty.isAtStart());
    EXPECT_TRUE(empty.isAtEnd());
}

TEST(Lista, InsertGoesAfterTheCursorAndNeedsOne)
{
    Lista* l = numbers(2);
    int* refused = new int(7);
    EXPECT_EQ(l->insert(refused), 0);  // no cursor: the list is unchanged and takes nothing
    EXPECT_EQ(l->getNodeCount(), 2);
    delete refused;

    l->goToStart();
    int* seven = new int(7);
    EXPECT_EQ(l->insert(seven), 1);
    EXPECT_EQ(at(l->getCurrent()), 0);  // the cursor stays
    l->goForward();
    EXPECT_EQ(at(l->getCurrent()), 7);
    l->goForward();
    EXPECT_EQ(at(l->getCurrent()), 1);
    EXPECT_EQ(l->goBackwards(), 1);
    EXPECT_EQ(at(l->getCurrent()), 7);

    l->goToEnd();
    EXPECT_EQ(l->insert(new int(8)), 1);  // on the last node: appended
    EXPECT_EQ(at(l->getLast()), 8);
    EXPECT_EQ(l->getNodeCount(), 4);
    EXPECT_EQ(l->getCurrentNodeNumber(), 2);
    release(l);
}

TEST(Lista, WithoutANodeReadsGiveNullAndWritesNothing)
{
    Lista l;
    EXPECT_EQ(l.getFirst(), nullptr);
    EXPECT_EQ(l.getLast(), nullptr);
    EXPECT_EQ(l.getCurrent(), nullptr);
    EXPECT_EQ(l.goBackwards(), 0);
    int keep = 3;
    l.setCurrent(&keep);  // no cursor: not taken, not freed
    EXPECT_EQ(keep, 3);
    l.add(nullptr);  // a null payload is allowed and never freed
    l.goToStart();
    l.setCurrent(new int(5));
    EXPECT_EQ(at(l.getCurrent()), 5);
    l.setCurrent(new int(6));  // frees the 5
    EXPECT_EQ(at(l.getCurrent()), 6);
    l.destroy();
}

TEST(Lista, DestroyFreesEveryPayload)
{
    Lista* l = numbers(50);
    l->goToNode(20);
    l->destroy();
    EXPECT_EQ(l->getNodeCount(), 0);
    EXPECT_EQ(l->first, nullptr);
    EXPECT_EQ(l->current, nullptr);
    EXPECT_EQ(l->last, nullptr);
    l->destroy();  // on an empty list: nothing happens
    EXPECT_EQ(l->getNodeCount(), 0);
    delete l;
#ifdef LIST_TEST_LSAN
    // Every payload and node handed to the list above is unreachable now: none may be left.
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
}
