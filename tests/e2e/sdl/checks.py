"""The checks every module of the Linux intro's end-to-end tests makes: a
failed one raises Failure, which the driver reports as the case's failure."""
import time


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(0.05)
    raise Failure(f"timed out after {timeout} s waiting for {what}")
