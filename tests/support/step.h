// Steps for test fixtures: a builder's change that a fixture makes is a
// committed step like any other, and a fixture that means "changed before
// this test's history starts" drops the history after it.
#pragma once

#include <string>
#include <utility>

#include "world/workspace.h"

namespace zs::test {

// One step that commits when the statement it stands in ends:
//   test::Step(ws).world().create_room(3001, 30);
class Step : public Transaction {
public:
    explicit Step(Workspace& ws, std::string name = "Test edit")
        : Transaction(ws, std::move(name)) {}
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;
    ~Step() { commit(); }
};

// The builder's change made before the test's history starts: a committed
// step, then no step at all (the zone it touched stays modified until saved).
template <class Fn>
void edit_before_history(Workspace& ws, Fn&& fn) {
    {
        Transaction tx(ws, "Earlier edit");
        fn(tx);
        tx.commit();
    }
    ws.clear_history();
}

}  // namespace zs::test
