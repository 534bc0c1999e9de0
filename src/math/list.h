// Lista: the program's one container, a doubly linked list of untyped payloads with a
// built-in cursor. Paths keep their points in one; scenes keep solids, particles and branches.
//
// Ownership: the list owns its payloads. A payload must come from `new` (or be null); when the
// list drops a node (remove, removeLast, destroy) or replaces a payload (setCurrent) it releases
// the storage with the global operator delete, so no destructor of the payload's type runs.
// Only store types whose destructor has nothing to do (Vector, Floater, plain records).
// ~Lista() frees nothing: an owner calls destroy() and then deletes the list.
//
// The cursor (`current`) stands on a node or on no node (null). Operations that read through the
// cursor or an end answer 0 or null, and change nothing, when there is no such node.
#ifndef QUENRASTILAN_MATH_LIST_H
#define QUENRASTILAN_MATH_LIST_H

class ListanSolmu {
public:
    ListanSolmu* next;      // null at the last node
    ListanSolmu* previous;  // null at the first node
    void* data;

    explicit ListanSolmu(void* data);
    ~ListanSolmu() {}
    // Replaces the payload without freeing the old one.
    void set(void* data);
};

class Lista {
public:
    int nodeCount;
    ListanSolmu* first;    // null when empty
    ListanSolmu* current;  // the cursor; null when it stands on no node
    ListanSolmu* last;     // null when empty

    Lista();
    ~Lista() {}

    // Appends after the last node. The cursor does not move: after adding to an empty list it
    // still stands on no node, so call goToStart() before getCurrent().
    void add(void* data);
    // Links a new node directly after the cursor node (at the end when the cursor is on the last
    // node); returns 1. With the cursor on no node nothing happens and 0 is returned.
    int insert(void* data);
    // Drops the cursor node and frees its payload. The cursor moves to the node that followed;
    // when the last of several nodes was dropped it moves to the new last node and 0 is returned,
    // otherwise 1 (0 as well when there was nothing to drop).
    int remove();
    // Drops the last node; a cursor standing on it moves to the new last node (or to no node).
    // Returns 0 on an empty list, else 1.
    int removeLast();
    // Drops every node and frees every payload; the list is then empty, the cursor on no node.
    void destroy();

    int goToStart();   // 1 unless the list is empty
    int goToEnd();     // 1 unless the list is empty
    // Moves to the next node and returns 1; returns 0 without moving on the last node, on an
    // empty list and with the cursor on no node.
    int goForward();
    // Moves to the preceding node and returns 1; returns 0 without moving at the first node or
    // with the cursor on no node.
    int goBackwards();
    // goToStart(), then goForward() n times: any n past the end leaves the cursor on the last
    // node and returns 0. Returns 1 when every step was made; for n <= 0 (no step) it returns
    // goToStart()'s result.
    int goToNode(int n);
    // The cursor node's position counted from 0 at the first node; nodeCount with no cursor.
    int getCurrentNodeNumber() const;

    // Payloads of the first, last and cursor node; null where there is no such node.
    void* getFirst() const;
    void* getLast() const;
    void* getCurrent() const;
    // Frees the cursor node's payload and stores `data` in its place. With the cursor on no node
    // nothing happens (and `data` stays the caller's).
    void setCurrent(void* data);

    int getNodeCount() const;
    bool isAtEnd() const;    // cursor == last (true for an empty list)
    bool isAtStart() const;  // cursor == first (true for an empty list)
};

#endif
