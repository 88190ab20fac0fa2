#pragma once
// The thread the exchanges with the units run on. It is made at the first exchange and kept,
// and handed one exchange at a time: an exchange costs a hand-off to it and a signal back,
// not a thread's creation, start-up and end. A worker whose exchange is left inside the
// driver keeps that exchange for as long as the driver does; the next exchange is handed to a
// new worker. Workers are never destroyed: one may come back from the driver at any time.
// Used from the user-interface thread only.

#include <windows.h>

#include <cstddef>

class DeviceExchange;

// Hands exchange to the current worker, or to a new one when there is none yet or the
// current one still runs an exchange left behind. False when no worker could be made: the
// exchange was not started.
bool RunOnWorker(DeviceExchange& exchange);

// How many workers this process has made.
std::size_t WorkersMade();
