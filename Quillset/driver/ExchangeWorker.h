#pragma once
// The thread the exchanges with the units run on. It is made at the first exchange and kept,
// and handed one exchange at a time: an exchange costs a hand-off to it and a wake-up back,
// both within the process (a slim lock and its condition variables), not a thread's creation,
// start-up and end. A worker whose exchange is left inside the driver keeps that exchange for
// as long as the driver does; the next exchange is handed to a new worker. Workers are never
// destroyed: one may come back from the driver at any time. Called from the user-interface
// thread only.

#include <windows.h>

#include <cstddef>

class DeviceExchange;

// Hands exchange to the current worker, or to a new one when there is none yet or the
// current one still runs an exchange left behind. False when no worker could be made: the
// exchange was not started.
bool RunOnWorker(DeviceExchange& exchange);

// True once the exchange has ended; waits at most milliseconds for that: the first quietMs
// without reading the caller's messages, the rest reading them.
bool WaitForExchangeEnd(const DeviceExchange& exchange, DWORD milliseconds, DWORD quietMs);

// Whether the exchange has ended; false before it was handed to a worker.
bool ExchangeHasEnded(const DeviceExchange& exchange);

// The run's exchanges are over: the current worker, when idle, ends its thread now, so that
// the process's end has no thread of it left to stop. One inside the driver is left there.
// A later exchange makes a new worker.
void EndIdleWorker();

// How many workers this process has made.
std::size_t WorkersMade();
