#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdint>

// 127.0.0.1 at a port: where the bridge and the test relay hand datagrams to ENet's socket.
inline sockaddr_in LoopbackIpv4(uint16_t pPort)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(pPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}
