# SPDX-License-Identifier: GPL-3.0-or-later
"""A PostgreSQL server of the benches' own, for their ledgers on PostgreSQL."""
import contextlib
import os
import shutil
import subprocess
import tempfile

POSTGRES_BINARIES = "/usr/lib/postgresql/15/bin/"


@contextlib.contextmanager
def private_postgres(*settings):
    """A server of its own on a Unix socket in a short temporary folder (a socket path may not
    exceed 107 bytes), no TCP, with these "name=value" settings besides; yields a function that
    creates a database and returns its URL, whose folder attribute is the server's folder. As
    root it runs as the postgres user, since initdb refuses root. Default durability, as a
    station would have it."""
    folder = tempfile.mkdtemp(prefix="pg", dir="/tmp")
    as_root = os.geteuid() == 0
    prefix = ["runuser", "-u", "postgres", "--"] if as_root else []
    if as_root:
        shutil.chown(folder, "postgres", "postgres")

    def run(tool, *arguments):
        subprocess.run(prefix + [POSTGRES_BINARIES + tool, *arguments], cwd=folder, check=True,
                       stdout=subprocess.DEVNULL)

    data = os.path.join(folder, "data")
    started = False
    try:
        run("initdb", "-D", data, "--auth=trust", "-U", "postgres", "-E", "UTF8", "--locale=C",
            "--no-sync")
        run("pg_ctl", "-D", data, "-l", os.path.join(folder, "server.log"), "-w", "-o",
            f"-c listen_addresses='' -c unix_socket_directories={folder}"
            + "".join(f" -c {setting}" for setting in settings), "start")
        started = True

        def create(name):
            run("createdb", "-h", folder, "-U", "postgres", name)
            return f"postgresql://postgres@/{name}?host={folder}"
        create.folder = folder
        yield create
    finally:
        if started:
            run("pg_ctl", "-D", data, "-m", "fast", "-w", "stop")
        shutil.rmtree(folder, ignore_errors=True)
