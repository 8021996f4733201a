"""A KABU+ look-alike for the durability trials: nginx on 127.0.0.1 serving daily price files
over HTTPS with a throw-away certificate, started and stopped by the trials themselves."""

import os
import shutil
import socket
import subprocess
import tempfile
import time
from pathlib import Path
from typing import List

NGINX = "/usr/sbin/nginx"
# Bytes per second of each file: a day file then takes most of a second, so a signal often
# lands while one is in transfer.
RATE = 1 << 20
DAILY_FOLDER = "/kabu.plus/csv/japan-all-stock-prices/daily/"
HEADER = ("SC,名称,市場,業種,日時,株価,前日比,前日比（％）,前日終値,始値,高値,安値,VWAP,出来高,出来高率,"
          "売買代金（千円）,時価総額（百万円）,値幅下限,値幅上限,高値日付,年初来高値,年初来高値乖離率,安値日付,"
          "年初来安値,年初来安値乖離率")


def day_file(ymd: int, codes: int = 4000) -> bytes:
    """One day's all-stock file as the service sends it (CP932, CRLF); big enough that writing
    it takes a moment."""
    y, m, d = ymd // 10000, ymd // 100 % 100, ymd % 100
    lines = [HEADER]
    for k in range(codes):
        close = 1000 + k % 977 + d * 1.25
        lines.append(f"{1301 + k},銘柄{k},東証プライム,電気機器,{y:04d}/{m:02d}/{d:02d} 15:00,{close:.2f},+1.00,"
                     f"+0.10,{close - 1:.2f},{close - 2:.2f},{close + 5:.2f},{close - 6:.2f},{close - 0.5:.2f},"
                     f"{100000 + k},0.12,97000,512000,{close - 300:.0f},{close + 300:.0f},2026/03/02,"
                     f"{close + 100:.0f},-3.1,2026/01/05,{close - 200:.0f},12.5")
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def free_port() -> int:
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class KabuPlusServer:
    """Use as a context manager; `url` and `cafile` are what `tavora-cli config` needs."""

    def __init__(self, days: List[int]):
        self.dir = Path(tempfile.mkdtemp(prefix="tavora-trials-nginx-"))
        self.days = days
        self.port = free_port()
        self.proc = None

    @property
    def url(self) -> str:
        return f"https://127.0.0.1:{self.port}"

    @property
    def cafile(self) -> str:
        return str(self.dir / "cert.pem")

    def __enter__(self) -> "KabuPlusServer":
        if not os.access(NGINX, os.X_OK):
            raise RuntimeError("nginx is not installed (scripts/install-deps installs nginx-light)")
        os.chmod(self.dir, 0o755)  # nginx's workers (nobody) must reach the files
        for sub in ("logs", "tmp"):
            (self.dir / sub).mkdir()
        www = self.dir / "www"
        daily = www / DAILY_FOLDER.strip("/")
        daily.mkdir(parents=True)
        for p in [daily] + list(daily.parents):
            if p == self.dir:
                break
            os.chmod(p, 0o755)
        for ymd in self.days:
            f = daily / f"japan-all-stock-prices_{ymd}.csv"
            f.write_bytes(day_file(ymd))
            os.chmod(f, 0o644)
        subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                        "-nodes", "-sha256", "-days", "2", "-subj", "/CN=localhost",
                        "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
                        "-keyout", str(self.dir / "key.pem"), "-out", self.cafile],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        temps = "".join(f"    {t}_temp_path {self.dir}/tmp/{t};\n"
                        for t in ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
        (self.dir / "nginx.conf").write_text(
            "daemon off;\nmaster_process on;\nworker_processes 1;\n"
            f"pid {self.dir}/nginx.pid;\nerror_log {self.dir}/logs/error.log notice;\n"
            "events { worker_connections 64; }\n"
            f"http {{\n    access_log {self.dir}/logs/access.log;\n{temps}"
            "    types { text/csv csv; }\n    default_type application/octet-stream;\n"
            f"    server {{\n        listen 127.0.0.1:{self.port} ssl;\n        server_name localhost;\n"
            f"        ssl_certificate {self.dir}/cert.pem;\n        ssl_certificate_key {self.dir}/key.pem;\n"
            f"        root {www};\n        location {DAILY_FOLDER} {{ limit_rate {RATE}; }}\n"
            "        location / { return 404; }\n    }\n}\n")
        self.proc = subprocess.Popen([NGINX, "-p", str(self.dir), "-c", str(self.dir / "nginx.conf"),
                                      "-e", str(self.dir / "logs" / "error.log")],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                raise RuntimeError(f"nginx exited: {(self.dir / 'logs' / 'error.log').read_text(errors='replace')}")
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=0.2):
                    return self
            except OSError:
                time.sleep(0.05)
        self.__exit__(None, None, None)
        raise RuntimeError("nginx did not answer on its port")

    def __exit__(self, *exc) -> None:
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        shutil.rmtree(self.dir, ignore_errors=True)
