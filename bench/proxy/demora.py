#!/usr/bin/env python3
"""A TCP proxy on loopback that delays every chunk by half the given round trip in each direction,
as a slow link between a station and the customs server would.

    python3 bench/proxy/demora.py PUERTO_LOCAL HOST PUERTO [IDA_Y_VUELTA_MS]   (20 ms by default)

Order is kept: each direction is one queue of chunks, each released when its time comes."""
import asyncio
import sys
import time


async def llevar(origen, destino, demora):
    cola = asyncio.Queue()

    async def soltar():
        while True:
            hora, datos = await cola.get()
            if datos is None:
                break
            espera = hora - time.monotonic()
            if espera > 0:
                await asyncio.sleep(espera)
            destino.write(datos)
            await destino.drain()
        destino.close()

    tarea = asyncio.create_task(soltar())
    try:
        while True:
            datos = await origen.read(65536)
            if not datos:
                break
            cola.put_nowait((time.monotonic() + demora, datos))
    finally:
        cola.put_nowait((0, None))
        await tarea


async def main():
    puerto_local, host, puerto = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])
    demora = (float(sys.argv[4]) if len(sys.argv) > 4 else 20.0) / 2000.0

    async def atender(lector_cliente, escritor_cliente):
        try:
            lector_srv, escritor_srv = await asyncio.open_connection(host, puerto)
        except OSError:
            escritor_cliente.close()
            return
        await asyncio.gather(llevar(lector_cliente, escritor_srv, demora),
                             llevar(lector_srv, escritor_cliente, demora), return_exceptions=True)

    servidor = await asyncio.start_server(atender, "127.0.0.1", puerto_local)
    async with servidor:
        await servidor.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
