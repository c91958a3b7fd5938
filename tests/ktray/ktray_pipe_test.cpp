// The tray interface's stubs over a real named pipe: a thread-pool server on one thread,
// a pipe client on another, in one process.
#include <gtest/gtest.h>

#include <thrift/concurrency/ThreadFactory.h>
#include <thrift/concurrency/ThreadManager.h>
#include <thrift/protocol/TBinaryProtocol.h>
#include <thrift/server/TThreadPoolServer.h>
#include <thrift/transport/TBufferTransports.h>
#include <thrift/transport/TPipe.h>
#include <thrift/transport/TPipeServer.h>

#include <thread>

#include "KTrayService.h"

namespace {

using apache::thrift::concurrency::ThreadFactory;
using apache::thrift::concurrency::ThreadManager;
using apache::thrift::protocol::TBinaryProtocol;
using apache::thrift::protocol::TBinaryProtocolFactory;
using apache::thrift::server::TThreadPoolServer;
using apache::thrift::transport::TBufferedTransport;
using apache::thrift::transport::TBufferedTransportFactory;
using apache::thrift::transport::TPipe;
using apache::thrift::transport::TPipeServer;

class Tray : public ktray::KTrayServiceNull {
public:
    void RegisterClient(ktray::KRegResult& result, const std::string& pipe, int32_t pid, int32_t handle,
                        int32_t type) override {
        last_pipe = pipe;
        result.iResult = 1;
        result.iSrvPID = pid + 1;
        result.iSrvPipeHandle = handle ^ type;
    }
    int32_t TestValue(int32_t value, int32_t magic) override { return value * 2 + magic; }
    bool stopService() override { return true; }

    std::string last_pipe;
};

TEST(TrayInterface, CallsCrossANamedPipe) {
    const std::string pipe_name = "vexatest-ktray-" + std::to_string(GetCurrentProcessId());
    auto tray = std::make_shared<Tray>();
    auto threads = ThreadManager::newSimpleThreadManager(4);
    threads->threadFactory(std::make_shared<ThreadFactory>());
    threads->start();
    TThreadPoolServer server(std::make_shared<ktray::KTrayServiceProcessor>(tray),
                             std::make_shared<TPipeServer>(pipe_name, 1024 * 1024, 10),
                             std::make_shared<TBufferedTransportFactory>(), std::make_shared<TBinaryProtocolFactory>(),
                             threads);
    std::thread serving([&server] { server.serve(); });

    ktray::KRegResult registration;
    int32_t doubled = 0;
    bool stopped = false;
    std::string error;
    std::thread client_thread([&] {
        try {
            auto pipe = std::make_shared<TPipe>(pipe_name);
            auto transport = std::make_shared<TBufferedTransport>(pipe);
            ktray::KTrayServiceClient client(std::make_shared<TBinaryProtocol>(transport));
            // The server thread may not be listening yet.
            for (int attempt = 0; attempt < 50 && !transport->isOpen(); ++attempt) {
                try {
                    transport->open();
                } catch (const std::exception&) {
                    Sleep(100);
                }
            }
            client.RegisterClient(registration, "\\\\.\\pipe\\{000004D2-82EF-4BCF-AF09-5608DC86EBB0}_", 41, 0x5A, 3);
            doubled = client.TestValue(20, 2);
            stopped = client.stopService();
            transport->close();
        } catch (const std::exception& e) {
            error = e.what();
        }
    });
    client_thread.join();
    server.stop();
    serving.join();

    EXPECT_EQ(error, "");
    EXPECT_EQ(registration.iResult, 1);
    EXPECT_EQ(registration.iSrvPID, 42);
    EXPECT_EQ(registration.iSrvPipeHandle, 0x5A ^ 3);
    EXPECT_EQ(tray->last_pipe, "\\\\.\\pipe\\{000004D2-82EF-4BCF-AF09-5608DC86EBB0}_");
    EXPECT_EQ(doubled, 42);
    EXPECT_TRUE(stopped);
}

}  // namespace
