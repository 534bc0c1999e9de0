// The cursor list: node linking, cursor moves and the freeing of payloads.
#include "math/list.h"

#include <new>

// Releases a payload's storage without running any destructor of its type.
static void freePayload(void* data)
{
    if (data)
        ::operator delete(data);
}

ListanSolmu::ListanSolmu(void* data_) : next(nullptr), previous(nullptr), data(data_) {}

void ListanSolmu::set(void* data_) { data = data_; }

Lista::Lista() : nodeCount(0), first(nullptr), current(nullptr), last(nullptr) {}

void Lista::add(void* data)
{
    ListanSolmu* node = new ListanSolmu(data);
    node->previous = last;
    if (last)
        last->next = node;
    else
        first = node;
    last = node;
    nodeCount++;
}

int Lista::insert(void* data)
{
    if (!current)
        return 0;
    if (current == last) {
        add(data);
        return 1;
    }
    ListanSolmu* node = new ListanSolmu(data);
    node->previous = current;
    node->next = current->next;
    current->next->previous = node;
    current->next = node;
    nodeCount++;
    return 1;
}

int Lista::remove()
{
    if (!current)
        return 0;
    ListanSolmu* node = current;
    if (node == last) {
        if (node == first) {
            // The only node.
            removeLast();
            return 1;
        }
        // The last of several: the cursor falls back to the new last node.
        removeLast();
        return 0;
    }
    // The node has a successor, which the cursor moves to.
    ListanSolmu* following = node->next;
    following->previous = node->previous;
    if (node == first)
        first = following;
    else
        node->previous->next = following;
    current = following;
    freePayload(node->data);
    delete node;
    nodeCount--;
    return 1;
}

int Lista::removeLast()
{
    if (!last)
        return 0;
    ListanSolmu* node = last;
    if (current == node)
        current = node->previous;
    last = node->previous;
    if (last)
        last->next = nullptr;
    else
        first = nullptr;
    freePayload(node->data);
    delete node;
    nodeCount--;
    return 1;
}

void Lista::destroy()
{
    int n = nodeCount;
    for (int i = 0; i < n; i++)
        removeLast();
}

int Lista::goToStart()
{
    current = first;
    return first ? 1 : 0;
}

int Lista::goToEnd()
{
    current = last;
    return last ? 1 : 0;
}

int Lista::goForward()
{
    if (current == last || !current)
        return 0;
    current = current->next;
    return 1;
}

int Lista::goBackwards()
{
    if (!current || !current->previous)
        return 0;
    current = current->previous;
    return 1;
}

int Lista::goToNode(int n)
{
    int moved = goToStart();
    // Once a step fails the cursor is on the last node and every further step would fail too,
    // so the walk stops there instead of counting out a large n.
    for (int i = 0; i < n && moved; i++)
        moved = goForward();
    return moved;
}

int Lista::getCurrentNodeNumber() const
{
    int k = 0;
    for (ListanSolmu* node = first; node && node != current; node = node->next)
        k++;
    return k;
}

void* Lista::getFirst() const { return first ? first->data : nullptr; }
void* Lista::getLast() const { return last ? last->data : nullptr; }
void* Lista::getCurrent() const { return current ? current->data : nullptr; }

void Lista::setCurrent(void* data)
{
    if (!current)
        return;
    freePayload(current->data);
    current->data = data;
}

int Lista::getNodeCount() const { return nodeCount; }
bool Lista::isAtEnd() const { return current == last; }
bool Lista::isAtStart() const { return current == first; }
