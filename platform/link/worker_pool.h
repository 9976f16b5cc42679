// An io_context and the threads that run it, for a link client. Start once every object
// the handlers use exists; Stop (also on destruction) stops the context and joins the
// threads, so a client calls it first in its destructor, before its members go.
// Start and Stop on the owner's thread.
#pragma once

#include <asio.hpp>
#include <thread>
#include <vector>

class WorkerPool {
 public:
  WorkerPool() : work_(io_.get_executor()) {}
  ~WorkerPool() { Stop(); }
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  asio::io_context& Context() { return io_; }
  void Start(int threads) {
    for (int i = 0; i < threads; ++i) {
      workers_.emplace_back([this] { io_.run(); });
    }
  }
  void Stop() {
    work_.reset();
    io_.stop();
    for (std::thread& worker : workers_) {
      worker.join();
    }
    workers_.clear();
  }

 private:
  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  std::vector<std::thread> workers_;
};
